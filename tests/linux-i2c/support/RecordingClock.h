#pragma once

#include "Clock.h"

#include <QtCore/QStringList>

// Time that passes only in the log: tests take no real sleep, and the time
// read goes on by each sleep.
class RecordingClock : public Clock
{
public:
    explicit RecordingClock(QStringList *log);
    void sleep(std::chrono::milliseconds duration) override;
    std::chrono::nanoseconds now() override;

private:
    QStringList *m_log;
    std::chrono::nanoseconds m_now{0};
};
