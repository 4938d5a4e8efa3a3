#pragma once

#include "DDCMonitorAccess.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QJsonObject>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QTextStream>

#include <optional>

// varnoctl: the monitors from a script or a keyboard shortcut. It lists them,
// and reads and sets their controls through the same access as the window.
// Output goes to `out`, messages to `err`; run() answers the exit code. A run
// is one pass of reads: a monitor that does not answer costs its attempts
// once.
class DDCCommandLine
{
    Q_DECLARE_TR_FUNCTIONS(DDCCommandLine)

public:
    enum ExitCode { Done = 0, MonitorFailed = 1, UsageError = 2 };

    DDCCommandLine(QTextStream &out, QTextStream &err);

    // `arguments` start with the program's name.
    int run(const QStringList &arguments);

private:
    using Control = DDCMonitorAccess::Control;
    using Reading = DDCMonitorAccess::Reading;
    using Write = DDCMonitorAccess::Write;
    using Outcome = DDCReadPolicy::Outcome;

    int list(bool json);
    int get(const QString &monitor, const QString &control, bool json);
    int set(const QString &monitor, const QString &control, const QString &value);

    // Discovers the monitors, and passes on what the platform says keeps
    // others from being listed. Without a monitor, when the command needs one,
    // says so in one line with the platform's reasons and answers false.
    bool discover(bool needsMonitor);
    // The discovered monitors that MONITOR names; nothing after a usage error.
    std::optional<QList<uint>> findMonitors(const QString &word);
    int usageError(const QString &message);
    // The access's reads and writes, which take fresh handles where Windows
    // ended them.
    Reading read(uint index, Control control);
    Write write(uint index, Control control, uint value);
    bool renewHandles();
    QString withoutValue(uint index, Control control, Outcome outcome);
    static QString unreached();
    void reportFailure(uint index, const QString &problem);
    void printReading(uint index, Control control, const Reading &reading);
    QJsonObject monitorObject(uint index) const;

    QTextStream &m_out;
    QTextStream &m_err;
    QList<MonitorData> m_monitors;
    DDCMonitorAccess m_access;
    bool m_handlesRenewed = false;
};
