#pragma once

#include "DdcCiChannel.h"

#include <QtCore/QString>

#include <memory>
#include <vector>

class Clock;
class I2cTransport;

// A display that answered over DDC/CI, with its channel left open.
struct DiscoveredDisplay
{
    QString connector;
    QString monitorName; // from the EDID; empty when it names no monitor
    QString serialNumber; // from the EDID; empty when it gives none
    std::unique_ptr<DdcCiChannel> channel;
};

// Finds the displays Varno can control: connected outputs whose own DDC bus
// opens and whose display answers a Get VCP. A display that does not answer
// would cost the user seconds of retries in every refresh, so it is left out.
class DisplayDiscovery
{
public:
    DisplayDiscovery(const QString &sysfsRoot, const QString &deviceDirectory,
                     I2cTransport &transport, Clock &clock);

    std::vector<DiscoveredDisplay> discover();
    // After discover(): empty when the displays' buses could be reached, else
    // what the user has to do about it (load i2c-dev, install the udev rule).
    QString accessAdvice() const;

private:
    bool answers(DdcCiChannel &channel);

    QString m_sysfsRoot;
    QString m_deviceDirectory;
    I2cTransport &m_transport;
    Clock &m_clock;
    QString m_accessAdvice;
};
