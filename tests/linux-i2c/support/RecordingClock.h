#pragma once

#include "Clock.h"

#include <QtCore/QStringList>

// Time that passes only in the log: tests take no real sleep, and the time
// read goes on by each sleep.
class RecordingClock : public Clock
{
public:
    explicit RecordingClock(QStringList *log);
    // The backend's pauses of 100 ms between the attempts of a read in
    // `log`, which it spends in pieces of 25 ms.
    static int retryPauses(const QStringList &log);
    void sleep(std::chrono::milliseconds duration) override;
    std::chrono::nanoseconds now() override;

private:
    QStringList *m_log;
    std::chrono::nanoseconds m_now{0};
};
