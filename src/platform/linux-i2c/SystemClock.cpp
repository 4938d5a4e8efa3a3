#include "SystemClock.h"

#include <thread>

void SystemClock::sleep(std::chrono::milliseconds duration)
{
    std::this_thread::sleep_for(duration);
}

std::chrono::nanoseconds SystemClock::now()
{
    return std::chrono::steady_clock::now().time_since_epoch();
}
