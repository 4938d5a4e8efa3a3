#pragma once

#include <QtCore/QByteArray>

// EDID base blocks laid out like real monitors send them: a maker ID, a detailed
// timing first, then text descriptors, and a correct checksum.
namespace EdidBlock {

// A 13-byte descriptor text is written as given (no terminator added).
QByteArray withName(const QByteArray &monitorName);
QByteArray withoutName();
// Recomputes byte 127 after a test changed the block.
QByteArray withChecksum(QByteArray block);

} // namespace EdidBlock
