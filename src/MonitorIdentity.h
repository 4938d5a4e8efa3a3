#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

// Who a monitor is, as its own EDID tells a user: its maker and its serial
// number. Both are empty when it gave no EDID, or one that does not check out.
struct MonitorIdentity
{
    static MonitorIdentity fromEdid(const QByteArray &edid);

    // The company registered to the EDID's PNP id, else the id itself.
    QString manufacturer;
    // The serial-number text, else the binary serial number in decimal when it
    // is not 0.
    QString serialNumber;
    // What tells it from every other monitor (see Edid::identityKey); empty
    // without an EDID.
    QString key;
};
