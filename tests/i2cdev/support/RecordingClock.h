#pragma once

#include "Clock.h"

#include <QtCore/QStringList>

// Time that passes only in the log: tests take no real sleep.
class RecordingClock : public Clock
{
public:
    explicit RecordingClock(QStringList *log);
    void sleep(std::chrono::milliseconds duration) override;

private:
    QStringList *m_log;
};
