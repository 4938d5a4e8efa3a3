#pragma once

#include <QtCore/QObject>

class DemoDisplaySystem;
class QSocketNotifier;

// Lets whoever tries the demo attach and detach a monitor while it runs, as a
// dock or a power switch would: SIGUSR1 attaches one, SIGUSR2 detaches one.
// The signal handler only writes the signal's number into a pipe, which the
// event loop reads.
class DemoMonitorSignals : public QObject
{
public:
    explicit DemoMonitorSignals(DemoDisplaySystem &displays);

private:
    static void handle(int signalNumber);
    static const bool s_caught;
    void takeSignal();

    DemoDisplaySystem &m_displays;
    QSocketNotifier *m_notifier = nullptr;
};
