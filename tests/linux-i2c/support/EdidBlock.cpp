#include "EdidBlock.h"

#include "simulated/SimulatedEdid.h"

QByteArray EdidBlock::withName(const QByteArray &monitorName)
{
    return SimulatedEdid{"VRN", 0x01010101, monitorName, "SN12345"}.block();
}

QByteArray EdidBlock::withoutName()
{
    return SimulatedEdid{"VRN", 0x01010101, {}, {}}.block();
}

QByteArray EdidBlock::withExtension(QByteArray base, char variant)
{
    base[126] = 1;
    QByteArray extension(128, 0);
    extension[0] = 0x02; // CTA extension, revision 3
    extension[1] = 0x03;
    extension[3] = variant; // its flags byte: underscan, audio, YCbCr
    return withChecksum(base) + withChecksum(extension);
}

QByteArray EdidBlock::withChecksum(QByteArray block)
{
    SimulatedEdid::setChecksum(block);
    return block;
}
