// How long the layer takes against a simulated monitor that answers at once:
// with the real waits, next to the least time DDC/CI allows (40 ms per Get
// VCP, 50 ms per Set VCP), and without waits, which leaves the layer's own
// cost (framing, validation, system calls into the simulation).

#include "EdidBlock.h"
#include "FakeBackend.h"
#include "FakeSysfs.h"
#include "I2cDevDisplaySystem.h"
#include "RecordingClock.h"
#include "SimulatedI2cBuses.h"
#include "SystemClock.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>

#include <cstdio>
#include <functional>

namespace {

const QString node = QStringLiteral("/dev/i2c-5");

// Mean milliseconds of `run` over `count` calls; the bus log is emptied
// between calls so that it does not grow with the count.
double meanMilliseconds(int count, QStringList &log, const std::function<void()> &run)
{
    QElapsedTimer timer;
    qint64 total = 0;
    for (int i = 0; i < count; ++i) {
        log.clear();
        timer.start();
        run();
        total += timer.nsecsElapsed();
    }
    return double(total) / count / 1e6;
}

struct Measurement
{
    double get;
    double set;
    double refresh;
};

Measurement measure(Clock &clock, QStringList &log, int exchanges, int refreshes)
{
    FakeSysfs sysfs;
    sysfs.loadI2cDev();
    sysfs.addConnector(QStringLiteral("card0-DP-1"), "connected", EdidBlock::withName("Bench"), 5);
    SimulatedI2cBuses buses(&log);
    buses.attach(node, SimulatedDdcMonitor::typical());
    I2cDevDisplaySystem platform({sysfs.root(), QStringLiteral("/dev"), buses, clock});
    Win32Platform::install(&platform);

    Measurement result{};
    {
        TestBackend backend;
        backend.init();
        // Refreshes first: they process events, and the backend's own
        // five-second refresh must not fire inside a measured one.
        result.refresh = meanMilliseconds(refreshes, log, [&] { backend.refresh(); });
        result.get = meanMilliseconds(exchanges, log, [&] { backend.getBrightness(0); });
        int value = 0;
        result.set = meanMilliseconds(exchanges, log,
                                      [&] { backend.setBrightness(0, uint(value++ % 100)); });
    }
    Win32Platform::install(nullptr);
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStringList log;

    SystemClock systemClock;
    const Measurement waiting = measure(systemClock, log, 40, 5);
    RecordingClock noWaits(&log);
    const Measurement layer = measure(noWaits, log, 20000, 2000);

    std::printf("DDC/CI over i2c-dev against a simulated monitor that answers at once\n\n");
    std::printf("%-34s %10s %12s %14s\n", "", "measured", "DDC/CI least", "without waits");
    std::printf("%-34s %7.2f ms %9.0f ms %11.1f us\n", "Get VCP (brightness)", waiting.get, 40.0,
                layer.get * 1000);
    std::printf("%-34s %7.2f ms %9.0f ms %11.1f us\n", "Set VCP (brightness)", waiting.set, 50.0,
                layer.set * 1000);
    std::printf("%-34s %7.2f ms %9.0f ms %11.1f us\n", "Refresh pass, one monitor (8 reads)",
                waiting.refresh, 8 * 40.0, layer.refresh * 1000);
    return 0;
}
