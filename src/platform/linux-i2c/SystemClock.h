#pragma once

#include "Clock.h"

class SystemClock : public Clock
{
public:
    void sleep(std::chrono::milliseconds duration) override;
    std::chrono::nanoseconds now() override;
};
