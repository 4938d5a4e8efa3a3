#pragma once

#include "simulated/SimulatedDisplaySystem.h"

#include <QtCore/QHash>

// The simulated display system as tests script it: it answers at once,
// records every call (Sleep is recorded, not slept), and lets a test make the
// display functions fail.
class FakeDisplaySystem : public SimulatedDisplaySystem
{
public:
    struct DisplayFaults
    {
        bool monitorInfoFails = false;
        bool sourceNameFails = false;
        bool targetNameFails = false;
        bool physicalMonitorQueryFails = false;
    };

    FakeDisplaySystem();

    DisplayFaults &faults(int displayMonitor);
    // The next buffer-size query reports one path and two modes fewer than the
    // following query needs, as when a display is attached in between.
    void growConfigurationOnce();

    NoMonitorReason noMonitorReason() const override;
    // What the fake says kept it from finding monitors.
    NoMonitorReason whyNoMonitor = NoMonitorReason::Unexplained;

protected:
    bool fails(DisplayCall call, int displayMonitor) const override;
    UINT32 pathsHiddenFromSizeQuery() override;
    void pause(DWORD milliseconds) override;

private:
    QHash<int, DisplayFaults> m_faults;
    bool m_hideGrowthFromNextSizeQuery = false;
};
