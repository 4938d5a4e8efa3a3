#pragma once

#include "InstalledFakeDisplays.h"

#include <QtCore/QObject>

#include <functional>

// Fake displays during whose reads input arrives: `input` is posted with the
// read's call and runs when the backend next processes events.
class DisplaysWithInput : public InstalledFakeDisplays
{
public:
    std::function<void(const QString &read)> input;

protected:
    void answerDelay(Transfer transfer) override
    {
        if (transfer == Transfer::Read && input)
            QMetaObject::invokeMethod(
                &m_receiver, [this, read = calls().last()] { input(read); }, Qt::QueuedConnection);
    }

private:
    QObject m_receiver;
};
