#pragma once

#include "DDCWinApi.h"

#include <QtCore/QStringList>

// A control API that keeps what it is given and records every write, for
// driving the user interface without a backend of its own. It takes every
// write, as a monitor that answers does. Who the monitors are it asks the
// program's backend, as the monitor list model does.
class RecordingApi : public DDCApi
{
public:
    void init() override
    {
        m_initialized = true;
    }
    uint monitorCount() override
    {
        return uint(m_brightness.size());
    }
    QString monitorName(uint index) override
    {
        return QStringLiteral("Monitor %1").arg(index);
    }
    QString monitorSerialNumber(uint index) const override
    {
        return DDCWinApi::instance()->monitorSerialNumber(index);
    }
    QString monitorManufacturer(uint index) const override
    {
        return DDCWinApi::instance()->monitorManufacturer(index);
    }

    void setBrightness(uint index, uint value) override
    {
        calls << QStringLiteral("setBrightness(%1, %2)").arg(index).arg(value);
        m_brightness[index].setValue(value);
        emit brightnessChanged();
    }
    void setContrast(uint index, uint value) override
    {
        calls << QStringLiteral("setContrast(%1, %2)").arg(index).arg(value);
        m_contrast[index].setValue(value);
        emit contrastChanged();
    }
    void setRgbDrive(uint index, const DDCRgbValue &value) override
    {
        calls << QStringLiteral("setRgbDrive(%1, %2)").arg(index).arg(describe(value));
        m_rgbDrive[index] = value;
        emit rgbDriveChanged();
    }
    void setRgbGain(uint index, const DDCRgbValue &value) override
    {
        calls << QStringLiteral("setRgbGain(%1, %2)").arg(index).arg(describe(value));
        m_rgbGain[index] = value;
        emit rgbGainChanged();
    }

    void publish(const QList<DDCValue> &brightness, const QList<DDCValue> &contrast,
                 const QList<DDCRgbValue> &rgbDrive, const QList<DDCRgbValue> &rgbGain)
    {
        m_brightness = brightness;
        m_contrast = contrast;
        m_rgbDrive = rgbDrive;
        m_rgbGain = rgbGain;
        emit brightnessChanged();
        emit contrastChanged();
        emit rgbDriveChanged();
        emit rgbGainChanged();
    }

    // Whether each monitor answers and which controls it lacks, one bit per
    // Control.
    void publishStanding(const QList<bool> &answering, const QList<uint> &unsupportedControls)
    {
        m_answering = answering;
        m_unsupportedControls = unsupportedControls;
        emit answeringChanged();
        emit unsupportedControlsChanged();
    }
    void setNoMonitorReason(NoMonitorReason reason)
    {
        m_noMonitorReason = reason;
        emit noMonitorReasonChanged();
    }

    static QString describe(const DDCValue &value)
    {
        return QStringLiteral("%1 %2..%3 %4")
            .arg(value.name())
            .arg(value.minimum())
            .arg(value.maximum())
            .arg(value.value());
    }
    static QString describe(const DDCRgbValue &value)
    {
        const QStringList channels{describe(value.red()), describe(value.green()),
                                   describe(value.blue())};
        return value.name() + QStringLiteral(": ") + channels.join(QStringLiteral(", "));
    }

    QStringList calls;
};
