#include "DDCCommandLine.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTextStream>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// A console takes the text as characters, whatever its code page: the OEM
// code page of most consoles would garble UTF-8 bytes. Everything else (a
// pipe, a file, a terminal on Linux) gets UTF-8.
void print(FILE *stream, const QString &text)
{
#ifdef _WIN32
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        DWORD written = 0;
        WriteConsoleW(handle, reinterpret_cast<const wchar_t *>(text.utf16()), DWORD(text.size()),
                      &written, nullptr);
        return;
    }
#endif
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(VARNO_VERSION));
    QString output;
    QString errors;
    int exitCode = 0;
    {
        QTextStream out(&output);
        QTextStream err(&errors);
        exitCode = DDCCommandLine(out, err).run(QCoreApplication::arguments());
    }
    print(stdout, output);
    print(stderr, errors);
    return exitCode;
}
