#include "DDCApi.h"

DDCApi::DDCApi() : QObject(nullptr) { }

DDCApi::~DDCApi() = default;

QList<DDCValue> DDCApi::brightness() const
{
    return m_brightness;
}

QList<DDCValue> DDCApi::contrast() const
{
    return m_contrast;
}

QList<DDCRgbValue> DDCApi::rgbDrive() const
{
    return m_rgbDrive;
}

QList<DDCRgbValue> DDCApi::rgbGain() const
{
    return m_rgbGain;
}

QList<bool> DDCApi::answering() const
{
    return m_answering;
}

QList<uint> DDCApi::unsupportedControls() const
{
    return m_unsupportedControls;
}

DDCApi::NoMonitorReason DDCApi::noMonitorReason() const
{
    return m_noMonitorReason;
}
