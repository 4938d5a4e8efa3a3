#include "DDCValue.h"

DDCValue::DDCValue(const QString &name, uint minimum, uint maximum, uint value)
    : m_minimum(minimum), m_maximum(maximum), m_value(value), m_name(name)
{ }

uint DDCValue::minimum() const
{
    return m_minimum;
}

uint DDCValue::maximum() const
{
    return m_maximum;
}

uint DDCValue::value() const
{
    return m_value;
}

QString DDCValue::name() const
{
    return m_name;
}

void DDCValue::setMinimum(uint minimum)
{
    if (m_minimum != minimum)
        m_minimum = minimum;
}

void DDCValue::setMaximum(uint maximum)
{
    if (m_maximum != maximum)
        m_maximum = maximum;
}

void DDCValue::setValue(uint value)
{
    if (m_value != value)
        m_value = value;
}

void DDCValue::setName(const QString &name)
{
    if (m_name != name)
        m_name = name;
}

bool DDCValue::operator==(const DDCValue &other) const
{
    return m_value == other.value();
}

bool DDCValue::operator!=(const DDCValue &other) const
{
    return !(*this == other);
}

bool DDCValue::operator==(uint value) const
{
    return m_value == value;
}

bool DDCValue::operator!=(uint value) const
{
    return !(*this == value);
}

bool operator==(uint value, const DDCValue &ddcValue)
{
    return ddcValue == value;
}

bool operator!=(uint value, const DDCValue &ddcValue)
{
    return ddcValue != value;
}
