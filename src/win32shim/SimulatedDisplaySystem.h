#pragma once

#include "FakeDisplaySystem.h"

#include <chrono>

// Two plausible monitors for trying Varno without DDC/CI hardware. They answer
// reads, keep what is written and, like real monitors, may take their time.
class SimulatedDisplaySystem : public FakeDisplaySystem
{
public:
    struct Delays
    {
        std::chrono::milliseconds read{0};
        std::chrono::milliseconds write{0};
    };
    // What a DDC/CI monitor needs at least: 40 ms to answer a read, 50 ms to
    // take a write.
    static Delays monitorLike();

    explicit SimulatedDisplaySystem(Delays delays);

protected:
    void answerDelay(Transfer transfer) override;
    void pause(DWORD milliseconds) override;

private:
    void setLevels(int monitor, DWORD brightness, DWORD contrast, DWORD drive, DWORD gain);

    Delays m_delays;
};
