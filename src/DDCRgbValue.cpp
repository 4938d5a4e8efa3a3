#include "DDCRgbValue.h"

namespace {

// A channel is taken over whole, range and label included, but only when its
// value differs: an equal value with another label is the same reading.
void assignChannel(DDCValue &channel, const DDCValue &newChannel)
{
    if (channel == newChannel)
        return;
    channel = newChannel;
}

} // namespace

DDCRgbValue::DDCRgbValue(const QString &name, const DDCValue &red, const DDCValue &green,
                         const DDCValue &blue)
    : m_red(red), m_green(green), m_blue(blue), m_name(name)
{ }

DDCRgbValue &DDCRgbValue::operator=(const DDCRgbValue &other)
{
    m_red = other.red();
    m_green = other.green();
    m_blue = other.blue();
    m_name = other.name();
    return *this;
}

QString DDCRgbValue::name() const
{
    return m_name;
}

DDCValue DDCRgbValue::red() const
{
    return m_red;
}

DDCValue DDCRgbValue::green() const
{
    return m_green;
}

DDCValue DDCRgbValue::blue() const
{
    return m_blue;
}

void DDCRgbValue::setName(const QString &name)
{
    if (m_name != name)
        m_name = name;
}

void DDCRgbValue::setRed(const DDCValue &red)
{
    assignChannel(m_red, red);
}

void DDCRgbValue::setGreen(const DDCValue &green)
{
    assignChannel(m_green, green);
}

void DDCRgbValue::setBlue(const DDCValue &blue)
{
    assignChannel(m_blue, blue);
}

bool DDCRgbValue::operator==(const DDCRgbValue &other) const
{
    return m_red == other.red() && m_green == other.green() && m_blue == other.blue();
}

bool DDCRgbValue::operator!=(const DDCRgbValue &other) const
{
    return !(*this == other);
}
