#pragma once

#include <QtCore/QByteArray>

// The EDIDs of the Linux layer's tests: maker "VRN", binary serial number
// 16843009 (see SimulatedEdid).
namespace EdidBlock {

// With the serial-number text "SN12345".
QByteArray withName(const QByteArray &monitorName);
// With no text: the serial number only in binary.
QByteArray withoutName();
// Recomputes byte 127 after a test changed the block.
QByteArray withChecksum(QByteArray block);
// `base`, announcing one extension block, followed by a CTA extension whose
// content differs with `variant`, as when a monitor rewrites it.
QByteArray withExtension(QByteArray base, char variant);

} // namespace EdidBlock
