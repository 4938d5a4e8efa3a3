#pragma once

#include <chrono>

// Where the layer waits: the pauses DDC/CI displays need, and the backend's
// pause between read attempts. Tests count the waits instead of sleeping.
class Clock
{
public:
    virtual ~Clock();
    virtual void sleep(std::chrono::milliseconds duration) = 0;
};
