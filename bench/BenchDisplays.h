#pragma once

#include "simulated/DemoDisplaySystem.h"

#include <chrono>

// The simulated monitors, with what goes wrong in the situations the
// benchmark measures, and the time spent in retry pauses.
class BenchDisplays : public DemoDisplaySystem
{
public:
    using DemoDisplaySystem::DemoDisplaySystem;

    // The monitor reports RGB drive as not supported.
    void dropRgbDrive(int monitor);
    std::chrono::milliseconds paused() const;

protected:
    void pause(DWORD milliseconds) override;

private:
    std::chrono::milliseconds m_paused{0};
};
