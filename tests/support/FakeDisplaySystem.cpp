#include "FakeDisplaySystem.h"

#include <utility>

FakeDisplaySystem::FakeDisplaySystem()
{
    setRecordingCalls(true);
}

FakeDisplaySystem::DisplayFaults &FakeDisplaySystem::faults(int displayMonitor)
{
    return m_faults[displayMonitor];
}

void FakeDisplaySystem::growConfigurationOnce()
{
    m_hideGrowthFromNextSizeQuery = true;
}

NoMonitorReason FakeDisplaySystem::noMonitorReason() const
{
    return whyNoMonitor;
}

bool FakeDisplaySystem::fails(DisplayCall call, int displayMonitor) const
{
    const DisplayFaults faults = m_faults.value(displayMonitor);
    switch (call) {
    case DisplayCall::MonitorInfo:
        return faults.monitorInfoFails;
    case DisplayCall::SourceName:
        return faults.sourceNameFails;
    case DisplayCall::TargetName:
        return faults.targetNameFails;
    case DisplayCall::PhysicalMonitors:
        return faults.physicalMonitorQueryFails;
    }
    return false;
}

UINT32 FakeDisplaySystem::pathsHiddenFromSizeQuery()
{
    return std::exchange(m_hideGrowthFromNextSizeQuery, false) ? 1 : 0;
}

void FakeDisplaySystem::pause(DWORD) { }
