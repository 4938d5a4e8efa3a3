#pragma once

#include "DdcCiChannel.h"
#include "DrmConnectorScanner.h"
#include "NoMonitorReason.h"

#include <QtCore/QStringList>

#include <memory>
#include <vector>

class Clock;
class I2cTransport;

// A display on a connected output, with its DDC/CI channel left open.
struct DiscoveredDisplay
{
    DrmConnector connector; // as discovery saw it
    QString monitorName; // from the EDID; empty when it names no monitor
    std::unique_ptr<DdcCiChannel> channel;
    bool answered = true; // whether it answered a Get VCP during discovery
};

// Finds the displays Varno can control: connected outputs whose own DDC bus
// opens. A display that does not answer a Get VCP (asleep, DDC/CI off in its
// menu) is listed all the same, so that the others keep their places, and is
// used as soon as it answers. Outputs that share a bus (DVI and HDMI on some
// cards) lead to one display.
class DisplayDiscovery
{
public:
    DisplayDiscovery(const QString &sysfsRoot, const QString &deviceDirectory,
                     I2cTransport &transport, Clock &clock);

    std::vector<DiscoveredDisplay> discover();
    // The displays on `connectors` but those on the outputs named in
    // `driven`, whose channels are open already: their buses count as taken.
    std::vector<DiscoveredDisplay> discover(const QList<DrmConnector> &connectors,
                                            const QStringList &driven);
    // After discover(): one line for each connected display that was left
    // out, or did not answer, naming it and saying why; a line on what the
    // user can do about it where there is something (load i2c-dev, install
    // the udev rule). Empty when every display answered.
    QStringList advice() const;
    // After discover(): why it found no display, if it found none.
    NoMonitorReason noMonitorReason() const;

private:
    enum class Answer { Given, None, Busy };

    Answer probe(DdcCiChannel &channel);
    void leaveOut(const QString &display, const QString &reason);

    QString m_sysfsRoot;
    QString m_deviceDirectory;
    I2cTransport &m_transport;
    Clock &m_clock;
    QStringList m_advice;
    NoMonitorReason m_noMonitorReason = NoMonitorReason::Unexplained;
};
