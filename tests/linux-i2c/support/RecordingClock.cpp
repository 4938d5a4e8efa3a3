#include "RecordingClock.h"

RecordingClock::RecordingClock(QStringList *log) : m_log(log) { }

void RecordingClock::sleep(std::chrono::milliseconds duration)
{
    m_log->append(QStringLiteral("sleep %1").arg(duration.count()));
    m_now += duration;
}

std::chrono::nanoseconds RecordingClock::now()
{
    return m_now;
}

int RecordingClock::retryPauses(const QStringList &log)
{
    return int(log.count(QStringLiteral("sleep 25"))) / 4;
}
