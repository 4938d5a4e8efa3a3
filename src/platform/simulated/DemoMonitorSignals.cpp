#include "DemoMonitorSignals.h"

#include "DemoDisplaySystem.h"

#include <QtCore/QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

} // namespace

// Caught from the program's start: a signal sent before the event loop runs
// waits in the pipe, where it would otherwise have ended the program.
const bool DemoMonitorSignals::s_caught = [] {
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = &DemoMonitorSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGUSR1, &action, nullptr);
    sigaction(SIGUSR2, &action, nullptr);
    return true;
}();

DemoMonitorSignals::DemoMonitorSignals(DemoDisplaySystem &displays) : m_displays(displays)
{
    if (!s_caught)
        return;
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DemoMonitorSignals::takeSignal);
}

// Only what is safe in a signal handler: a write of one byte.
void DemoMonitorSignals::handle(int signalNumber)
{
    const char number = char(signalNumber);
    [[maybe_unused]] const auto written = write(signalPipe[1], &number, 1);
}

void DemoMonitorSignals::takeSignal()
{
    char number = 0;
    while (read(signalPipe[0], &number, 1) == 1) {
        if (number == SIGUSR1)
            m_displays.attachMonitor();
        else if (number == SIGUSR2)
            m_displays.detachMonitor();
    }
}
