#include "DemoDisplaySystem.h"
#include "DemoMonitorSignals.h"

#include <QtCore/QCoreApplication>

Win32Platform &builtInWin32Platform()
{
    // Never destroyed: the backend, a static made before this one, still
    // releases its monitors through it when the process exits.
    static auto *platform = new DemoDisplaySystem(DemoDisplaySystem::monitorLike());
    // Monitors come and go in the program, whose event loop runs; a
    // varnoctl run is over before any would.
    static auto *monitorSignals =
        QCoreApplication::instance() ? new DemoMonitorSignals(*platform) : nullptr;
    Q_UNUSED(monitorSignals);
    return *platform;
}
