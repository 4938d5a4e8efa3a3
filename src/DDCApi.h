#pragma once

#include "DDCRgbValue.h"
#include "DDCValue.h"

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

public:
    DDCApi();
    ~DDCApi() override;

    QList<DDCValue> brightness() const;
    QList<DDCValue> contrast() const;
    QList<DDCRgbValue> rgbDrive() const;
    QList<DDCRgbValue> rgbGain() const;

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
};
