#pragma once

#include "DDCRgbValue.h"
#include "DDCValue.h"
#include "platform/NoMonitorReason.h"

#include <QtCore/QList>
#include <QtCore/QObject>

// The control interface that the user interface talks to: one entry per
// monitor in each of the four control lists, plus the write operations that a
// platform backend implements.
class DDCApi : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QList<DDCValue> brightness READ brightness NOTIFY brightnessChanged FINAL)
    Q_PROPERTY(QList<DDCValue> contrast READ contrast NOTIFY contrastChanged FINAL)
    Q_PROPERTY(QList<DDCRgbValue> rgbDrive READ rgbDrive NOTIFY rgbDriveChanged FINAL)
    Q_PROPERTY(QList<DDCRgbValue> rgbGain READ rgbGain NOTIFY rgbGainChanged FINAL)
    // Whether each monitor answered its last reads over DDC/CI.
    Q_PROPERTY(QList<bool> answering READ answering NOTIFY answeringChanged FINAL)
    // The controls each monitor reports it does not have, one bit per Control.
    Q_PROPERTY(QList<uint> unsupportedControls READ unsupportedControls NOTIFY
                   unsupportedControlsChanged FINAL)
    Q_PROPERTY(
        NoMonitorReason noMonitorReason READ noMonitorReason NOTIFY noMonitorReasonChanged FINAL)

public:
    enum class Control {
        Brightness,
        Contrast,
        RedDrive,
        GreenDrive,
        BlueDrive,
        RedGain,
        GreenGain,
        BlueGain
    };
    Q_ENUM(Control)

    // Why no monitor is listed, as far as the platform can tell.
    enum class NoMonitorReason {
        Unexplained = int(::NoMonitorReason::Unexplained),
        ModuleMissing = int(::NoMonitorReason::ModuleMissing),
        NoPermission = int(::NoMonitorReason::NoPermission),
        NoAnswer = int(::NoMonitorReason::NoAnswer),
        NoExternalOutput = int(::NoMonitorReason::NoExternalOutput),
        RemoteSession = int(::NoMonitorReason::RemoteSession)
    };
    Q_ENUM(NoMonitorReason)

    DDCApi();
    ~DDCApi() override;

    QList<DDCValue> brightness() const;
    QList<DDCValue> contrast() const;
    QList<DDCRgbValue> rgbDrive() const;
    QList<DDCRgbValue> rgbGain() const;
    QList<bool> answering() const;
    QList<uint> unsupportedControls() const;
    NoMonitorReason noMonitorReason() const;

    // Who monitor `index` is, from its own EDID; empty when it gave none, and
    // for an index that is no monitor's (as an empty drop-down's).
    Q_INVOKABLE virtual QString monitorSerialNumber(uint index) const = 0;
    Q_INVOKABLE virtual QString monitorManufacturer(uint index) const = 0;

    virtual void init() = 0;
    virtual uint monitorCount() = 0;
    virtual QString monitorName(uint index) = 0;

    Q_INVOKABLE virtual void setBrightness(uint index, uint value) = 0;
    Q_INVOKABLE virtual void setContrast(uint index, uint value) = 0;
    Q_INVOKABLE virtual void setRgbDrive(uint index, const DDCRgbValue &value) = 0;
    Q_INVOKABLE virtual void setRgbGain(uint index, const DDCRgbValue &value) = 0;

signals:
    void brightnessChanged();
    void contrastChanged();
    void rgbDriveChanged();
    void rgbGainChanged();
    void answeringChanged();
    void unsupportedControlsChanged();
    void noMonitorReasonChanged();

    // The monitors are listed anew, as after one was attached or detached:
    // first this, while the lists still hold the monitors as listed before;
    void monitorsAboutToChange();
    // then this, with monitor i having been monitor previousIndexOf[i], -1
    // for one new to the list; then the change signals of the four lists.
    void monitorsChanged(const QList<int> &previousIndexOf);

protected:
    bool m_initialized = false;
    QList<DDCValue> m_brightness;
    QList<DDCValue> m_contrast;
    QList<DDCRgbValue> m_rgbDrive;
    QList<DDCRgbValue> m_rgbGain;
    QList<bool> m_answering;
    QList<uint> m_unsupportedControls;
    NoMonitorReason m_noMonitorReason = NoMonitorReason::Unexplained;
};
