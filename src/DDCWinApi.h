#pragma once

#include "DDCApi.h"
#include "DDCMonitorAccess.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QTimer>

class QScreen;

// The monitor backend over the Windows Monitor Configuration API (DDC/CI).
// All it knows of a monitor lives in the monitor's record (MonitorData); the
// lists that it publishes are made from the records, in one place.
class DDCWinApi : public DDCApi
{
    Q_OBJECT

public:
    static DDCWinApi *instance();

    void init() override;
    uint monitorCount() override;
    QString monitorName(uint index) override;
    QString monitorSerialNumber(uint index) const override;
    QString monitorManufacturer(uint index) const override;
    // Who monitor `index` is, the same text whenever it is listed (see
    // DDCMonitorAccess::identityKey); empty for an index that is no
    // monitor's.
    QString monitorKey(uint index) const;
    // What the platform found so far that keeps monitors from being listed or
    // reached, one sentence a reason, each once; each is also printed once,
    // when it is first found.
    QStringList platformAdvice() const;

    void setBrightness(uint index, uint value) override;
    void setContrast(uint index, uint value) override;
    void setRgbDrive(uint index, const DDCRgbValue &value) override;
    void setRgbGain(uint index, const DDCRgbValue &value) override;

    void readBrightness();
    void readContrast();
    void readRgbDrive();
    void readRgbGain();

    // The current value, or 0 when the monitor gave no reading.
    uint getBrightness(uint index);
    uint getContrast(uint index);
    // Channels that gave no reading are left default.
    DDCRgbValue getRgbDrive(uint index);
    DDCRgbValue getRgbGain(uint index);

    void refresh();
    // Lists the monitors anew. Those still there keep their records, new ones
    // are read, gone ones dropped.
    void rediscover();

protected:
    // Only instance() creates the backend in the program.
    DDCWinApi();

private:
    using Control = DDCMonitorAccess::Control;
    enum PublishedList : unsigned {
        Brightness = 1,
        Contrast = 2,
        RgbDrive = 4,
        RgbGain = 8,
        Answering = 16,
        UnsupportedControls = 32
    };

    void watchDisplays();
    void watchMode(QScreen *screen);
    void rediscoverSoon();
    void takePlatformNews();
    void readLevel(uint index, Control control);
    void readColour(uint index, Control red);
    // One pass of reads of every control of the monitor.
    void readAll(uint index);
    bool isMonitorIndex(uint index) const;
    bool hasReading(uint index, Control control) const;

    DDCValue level(uint index, const QString &name, Control control) const;
    DDCRgbValue colour(uint index, const QString &name, Control red) const;
    // Makes the published lists anew from the records; answers those that
    // changed. publish() also announces them.
    unsigned rebuildPublished();
    void announce(unsigned changed);
    void publish();

    void writeLevel(uint index, uint value, Control control);
    void writeColour(uint index, const DDCRgbValue &value, Control red, PublishedList list);

    QList<MonitorData> m_monitors;
    QTimer m_timer;
    // Displays come and go in bursts (a dock brings several, a monitor that
    // wakes up may be listed twice): the monitors are listed anew once the
    // burst has settled.
    QTimer m_rediscoveryTimer;
#ifndef _WIN32
    // Asks display systems that Qt does not hear of whether their displays
    // changed: a question cheap to answer, not a discovery.
    QTimer m_displayWatch;
#endif
    DDCMonitorAccess m_access;
    QStringList m_advice;
    // While monitors are read with events processed: a refresh or a
    // rediscovery then waits until the reads are done.
    bool m_reading = false;
};
