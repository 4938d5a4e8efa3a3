#pragma once

#include "DDCValue.h"

// One colour control (RGB drive or RGB gain): a label and one DDCValue per
// channel. Equality compares the three channel values only.
class DDCRgbValue
{
    Q_GADGET
    QML_VALUE_TYPE(ddcRgbValue)
    Q_PROPERTY(QString name READ name WRITE setName FINAL)
    Q_PROPERTY(DDCValue red READ red WRITE setRed FINAL)
    Q_PROPERTY(DDCValue green READ green WRITE setGreen FINAL)
    Q_PROPERTY(DDCValue blue READ blue WRITE setBlue FINAL)

public:
    DDCRgbValue() = default;
    DDCRgbValue(const QString &name, const DDCValue &red, const DDCValue &green,
                const DDCValue &blue);
    // Declared copy operations and no move operations: a move is a copy.
    DDCRgbValue(const DDCRgbValue &other) = default;
    DDCRgbValue &operator=(const DDCRgbValue &other);

    QString name() const;
    DDCValue red() const;
    DDCValue green() const;
    DDCValue blue() const;

    void setName(const QString &name);
    void setRed(const DDCValue &red);
    void setGreen(const DDCValue &green);
    void setBlue(const DDCValue &blue);

    bool operator==(const DDCRgbValue &other) const;
    bool operator!=(const DDCRgbValue &other) const;

private:
    DDCValue m_red;
    DDCValue m_green;
    DDCValue m_blue;
    QString m_name;
};
