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

QByteArray EdidBlock::withChecksum(QByteArray block)
{
    SimulatedEdid::setChecksum(block);
    return block;
}
