#include "EdidBlock.h"

#include <cstdint>

namespace {

QByteArray descriptor(unsigned char tag, const QByteArray &text)
{
    QByteArray bytes(5, 0);
    bytes[3] = char(tag);
    QByteArray field = text.left(13);
    if (field.size() < 13)
        field += '\n';
    return bytes + field.leftJustified(13, ' ');
}

QByteArray block(const QByteArray &secondDescriptor)
{
    QByteArray bytes = QByteArray::fromHex("00ffffffffffff00" // header
                                           "5a4e"
                                           "a0a1" // maker "VRN", product
                                           "01010101"
                                           "0f21" // serial, week/year
                                           "0104"); // EDID 1.4
    bytes = bytes.leftJustified(54, char(0x40));
    // Detailed timing: 148.5 MHz pixel clock.
    bytes += QByteArray::fromHex("023a801871382d40582c4500132a2100001e");
    bytes += secondDescriptor;
    bytes += descriptor(0xFF, "SN12345");
    bytes += descriptor(0xFD, QByteArray::fromHex("384c1e5311000a"));
    bytes += QByteArray(2, 0);
    return EdidBlock::withChecksum(bytes);
}

} // namespace

QByteArray EdidBlock::withName(const QByteArray &monitorName)
{
    return block(descriptor(0xFC, monitorName));
}

QByteArray EdidBlock::withoutName()
{
    return block(descriptor(0xFE, "LM270WQ1"));
}

QByteArray EdidBlock::withChecksum(QByteArray block)
{
    unsigned sum = 0;
    for (int i = 0; i < 127; ++i)
        sum += std::uint8_t(block[i]);
    block[127] = char((256 - sum % 256) % 256);
    return block;
}
