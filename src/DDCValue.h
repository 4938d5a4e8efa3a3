#pragma once

#include <QtCore/QMetaType>
#include <QtCore/QString>
#include <QtQml/qqmlregistration.h>

// One continuous monitor control: its range, its current value and its label.
// Equality looks at the value only, so two readings that differ in range or
// label count as the same reading.
class DDCValue
{
    Q_GADGET
    QML_VALUE_TYPE(ddcValue)
    Q_PROPERTY(uint minimum READ minimum WRITE setMinimum FINAL)
    Q_PROPERTY(uint maximum READ maximum WRITE setMaximum FINAL)
    Q_PROPERTY(uint value READ value WRITE setValue FINAL)
    Q_PROPERTY(QString name READ name WRITE setName FINAL)

public:
    DDCValue() = default;
    DDCValue(const QString &name, uint minimum, uint maximum, uint value);

    uint minimum() const;
    uint maximum() const;
    uint value() const;
    QString name() const;

    void setMinimum(uint minimum);
    void setMaximum(uint maximum);
    void setValue(uint value);
    void setName(const QString &name);

    bool operator==(const DDCValue &other) const;
    bool operator!=(const DDCValue &other) const;
    bool operator==(uint value) const;
    bool operator!=(uint value) const;

private:
    uint m_minimum = 0;
    uint m_maximum = 0;
    uint m_value = 0;
    QString m_name;
};

bool operator==(uint value, const DDCValue &ddcValue);
bool operator!=(uint value, const DDCValue &ddcValue);
