#pragma once

#include "DDCApi.h"
#include "DDCMonitorAccess.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QTimer>

#include <array>

// The monitor backend over the Windows Monitor Configuration API (DDC/CI).
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
    // After init(): why monitors could not be listed or reached, one sentence
    // a reason (see DDCMonitorAccess).
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
    // Lists the monitors anew. Those still there keep their entries, new ones
    // are read, gone ones dropped.
    void rediscover();

protected:
    // Only instance() creates the backend in the program.
    DDCWinApi();

private:
    using Control = DDCMonitorAccess::Control;
    using ChangeSignal = void (DDCApi::*)();

    void watchDisplays();
    void rediscoverSoon();
    DDCValue readLevel(uint index, const QString &name, Control control);

    bool isMonitorIndex(uint index) const;
    // Publishes whether the monitor answered the reads of this pass, and which
    // controls it lacks.
    void publishStanding(uint index);
    quint64 &writeCount(uint index, int control);

    void appendLevels(QList<DDCValue> &list, const QString &name, Control control);
    uint currentLevel(uint index, Control control);
    void refreshLevel(uint index, Control control, QList<DDCValue> &list, ChangeSignal changed);
    void writeLevel(uint index, uint value, Control control, QList<DDCValue> &list,
                    ChangeSignal changed);

    DDCRgbValue readColour(uint index, const QString &name, Control red);
    void refreshColour(uint index, Control red, QList<DDCRgbValue> &list, ChangeSignal changed);
    void writeColour(uint index, const DDCRgbValue &value, Control red, QList<DDCRgbValue> &list,
                     ChangeSignal changed);

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
    // Successful writes per monitor and control, so that a reading taken
    // before one is known to be older than the value it wrote.
    QList<std::array<quint64, DDCMonitorAccess::ControlCount>> m_writeCounts;
    bool m_refreshing = false;
};
