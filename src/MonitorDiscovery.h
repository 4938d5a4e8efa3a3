#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

struct MonitorData;

// One listing of the monitors through Windows' display functions and dxva2:
// a record for each physical monitor behind each display of the desktop, in
// Windows' order, named and identified where Windows tells which monitor it
// is. It keeps what it found that left displays out or unnamed.
class MonitorDiscovery
{
public:
    // Appends the records to `found`; each holds the handle of its physical
    // monitor, which its new owner releases.
    void run(QList<MonitorData> &found);

    // What kept displays from being listed, named or reached, one sentence a
    // reason, for the user.
    QStringList advice() const;
    // A built-in panel was left out: DDC/CI never reaches one.
    bool leftOutBuiltInPanel() const;
    // Windows lets only the console session reach monitors over DDC/CI.
    bool outsideConsoleSession() const;
    // Windows did not give the display configuration (the session is locked,
    // or remote): the monitors have no names, devices or EDIDs of their own.
    bool configurationDenied() const;

private:
    QStringList m_advice;
    bool m_leftOutBuiltInPanel = false;
    bool m_outsideConsoleSession = false;
    bool m_configurationDenied = false;
};
