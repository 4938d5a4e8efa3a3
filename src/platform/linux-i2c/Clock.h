#pragma once

#include <chrono>

// Where the layer waits and tells the time: the pauses DDC/CI displays need,
// and the backend's pause between read attempts. Tests count the waits
// instead of sleeping.
class Clock
{
public:
    virtual ~Clock();
    virtual void sleep(std::chrono::milliseconds duration) = 0;
    // Monotonic: only differences between two readings mean anything.
    virtual std::chrono::nanoseconds now() = 0;
};
