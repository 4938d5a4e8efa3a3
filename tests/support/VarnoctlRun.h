#pragma once

#include "DDCCommandLine.h"

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// One run of varnoctl in the test's own process, over the display system the
// test installed.
struct VarnoctlRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// `arguments` come without the program's name.
inline VarnoctlRun runVarnoctl(const QStringList &arguments)
{
    VarnoctlRun result;
    {
        QTextStream out(&result.out);
        QTextStream err(&result.err);
        result.exitCode =
            DDCCommandLine(out, err).run(QStringList{QStringLiteral("varnoctl")} + arguments);
    }
    return result;
}
