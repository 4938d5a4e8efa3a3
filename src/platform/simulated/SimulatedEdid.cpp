#include "SimulatedEdid.h"

namespace {

constexpr int descriptorSize = 18;
constexpr int textSize = 13;

QByteArray descriptor(char tag, const QByteArray &text)
{
    QByteArray bytes(5, 0);
    bytes[3] = tag;
    QByteArray field = text.left(textSize);
    if (field.size() < textSize)
        field += '\n';
    return bytes + field.leftJustified(textSize, ' ');
}

// Five bits a letter, 1 standing for 'A', big-endian.
QByteArray manufacturerIdBytes(const QByteArray &letters)
{
    const auto code = [&](int i) { return unsigned(letters.at(i) - '@') & 0x1F; };
    const unsigned id = code(0) << 10 | code(1) << 5 | code(2);
    QByteArray bytes;
    bytes += char(id >> 8);
    bytes += char(id & 0xFF);
    return bytes;
}

} // namespace

QByteArray SimulatedEdid::block() const
{
    QByteArray bytes = QByteArray::fromHex("00ffffffffffff00");
    bytes += manufacturerIdBytes(manufacturerId);
    bytes += QByteArray::fromHex("a0a1"); // product code
    for (int shift = 0; shift < 32; shift += 8)
        bytes += char(serialNumber >> shift & 0xFF);
    bytes += QByteArray::fromHex("0f21" // week 15 of 2023
                                 "0104"); // EDID 1.4
    bytes = bytes.leftJustified(54, char(0x40));
    // Detailed timing: 1920x1080 at 60 Hz, 148.5 MHz pixel clock.
    bytes += QByteArray::fromHex("023a801871382d40582c4500132a2100001e");
    if (!monitorName.isEmpty())
        bytes += descriptor(char(0xFC), monitorName);
    if (!serialText.isEmpty())
        bytes += descriptor(char(0xFF), serialText);
    bytes += descriptor(char(0xFD), QByteArray::fromHex("384c1e5311000a"));
    while (bytes.size() < 126) {
        QByteArray dummy(descriptorSize, 0);
        dummy[3] = 0x10;
        bytes += dummy;
    }
    bytes += QByteArray(2, 0); // no extension; checksum
    setChecksum(bytes);
    return bytes;
}

void SimulatedEdid::setChecksum(QByteArray &block)
{
    unsigned sum = 0;
    for (int i = 0; i < 127; ++i)
        sum += quint8(block.at(i));
    block[127] = char((256 - sum % 256) % 256);
}
