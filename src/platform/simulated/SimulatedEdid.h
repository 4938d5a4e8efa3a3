#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QtGlobal>

// An EDID base block laid out as monitors send it: the maker's id and a binary
// serial number, a detailed timing first, then the text descriptors of the
// texts given, range limits, and a checksum that holds.
struct SimulatedEdid
{
    QByteArray manufacturerId = QByteArrayLiteral("VRN"); // three capitals
    quint32 serialNumber = 0;
    // Each is written as given, ended by a line feed and padded with spaces
    // when shorter than 13 bytes; no descriptor when empty.
    QByteArray monitorName;
    QByteArray serialText;

    QByteArray block() const;
    // Sets the checksum byte of a block whose bytes were changed.
    static void setChecksum(QByteArray &block);
};
