#include "BenchDisplays.h"
#include "FirstFrameReporter.h"

#include <QtCore/QtGlobal>

// The program as the benchmark starts it: over simulated monitors chosen by
// VARNO_BENCH_MONITORS ("instant": they answer at once; "never-answering":
// the first one never answers; otherwise both answer at a monitor's pace),
// reporting its first frame and then ending, unless VARNO_BENCH_STAY is set.
Win32Platform &builtInWin32Platform()
{
    // Never destroyed: the backend, a static made before this one, still
    // releases its monitors through it when the process exits.
    static BenchDisplays *platform = [] {
        const QString monitors = qEnvironmentVariable("VARNO_BENCH_MONITORS");
        auto *displays = new BenchDisplays(monitors == QLatin1String("instant")
                                               ? SimulatedDisplaySystem::Delays{}
                                               : SimulatedDisplaySystem::monitorLike());
        if (monitors == QLatin1String("never-answering"))
            displays->setSilent(0, true);
        FirstFrameReporter::install(!qEnvironmentVariableIsSet("VARNO_BENCH_STAY"));
        return displays;
    }();
    return *platform;
}
