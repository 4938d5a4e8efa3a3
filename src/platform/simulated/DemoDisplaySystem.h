#pragma once

#include "SimulatedDisplaySystem.h"

// Two plausible monitors for trying Varno without DDC/CI hardware. They answer
// reads, keep what is written and, like real monitors, may take their time.
class DemoDisplaySystem : public SimulatedDisplaySystem
{
public:
    explicit DemoDisplaySystem(Delays delays);

    // Attaches the first monitor detached, back through new handles, or a
    // new one when none is.
    void attachMonitor();
    // Detaches the first monitor listed, while any is.
    void detachMonitor();

private:
    void setLevels(int monitor, DWORD brightness, DWORD contrast, DWORD drive, DWORD gain);
};
