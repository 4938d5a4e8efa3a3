#include "BenchDisplays.h"

void BenchDisplays::dropRgbDrive(int monitor)
{
    for (const MonitorControl colour :
         {MonitorControl::RedDrive, MonitorControl::GreenDrive, MonitorControl::BlueDrive})
        control(monitor, colour).unsupported = true;
}

std::chrono::milliseconds BenchDisplays::paused() const
{
    return m_paused;
}

void BenchDisplays::pause(DWORD milliseconds)
{
    m_paused += std::chrono::milliseconds(milliseconds);
    DemoDisplaySystem::pause(milliseconds);
}
