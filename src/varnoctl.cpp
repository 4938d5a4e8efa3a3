#include "DDCCommandLine.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(VARNO_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return DDCCommandLine(out, err).run(QCoreApplication::arguments());
}
