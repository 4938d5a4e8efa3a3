#include "Edid.h"

#include <algorithm>
#include <iterator>
#include <numeric>

namespace {

constexpr std::size_t baseBlockSize = 128;
constexpr std::uint8_t header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr std::size_t descriptorOffsets[] = {54, 72, 90, 108};
constexpr std::size_t descriptorTextOffset = 5;
constexpr std::size_t descriptorTextSize = 13;
constexpr std::size_t manufacturerIdOffset = 8;
constexpr std::size_t serialNumberOffset = 12;
constexpr std::uint8_t monitorNameTag = 0xFC;
constexpr std::uint8_t serialNumberTag = 0xFF;

bool isTextDescriptor(const std::uint8_t *descriptor, std::uint8_t tag)
{
    // A detailed timing starts with a non-zero pixel clock instead.
    return descriptor[0] == 0 && descriptor[1] == 0 && descriptor[2] == 0 && descriptor[3] == tag;
}

std::uint32_t littleEndian32(const std::uint8_t *bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24;
}

// Monitors pad with spaces, and some with other unprintable bytes: no end of
// the text shows them. Inside, an unprintable byte shows as '-'.
std::string descriptorText(const std::uint8_t *descriptor)
{
    const std::uint8_t *text = descriptor + descriptorTextOffset;
    const std::uint8_t *end = std::find_if(text, text + descriptorTextSize, [](std::uint8_t byte) {
        return byte == '\n' || byte == 0;
    });
    const auto isVisible = [](std::uint8_t byte) { return byte > 0x20 && byte < 0x7F; };
    const std::uint8_t *first = std::find_if(text, end, isVisible);
    const std::uint8_t *last =
        std::find_if(std::make_reverse_iterator(end), std::make_reverse_iterator(first), isVisible)
            .base();
    std::string result(first, last);
    for (char &c : result) {
        const auto byte = std::uint8_t(c);
        if (byte < 0x20 || byte > 0x7E)
            c = '-';
    }
    return result;
}

// Three letters of five bits each, big-endian, 1 standing for 'A'.
std::string manufacturerIdOf(const std::uint8_t *bytes)
{
    const unsigned id = unsigned(bytes[0]) << 8 | bytes[1];
    std::string letters;
    for (const int shift : {10, 5, 0}) {
        const unsigned letter = id >> shift & 0x1F;
        if (letter > 26)
            return {};
        letters += char('@' + letter);
    }
    return letters;
}

} // namespace

std::optional<Edid> Edid::parse(const std::uint8_t *data, std::size_t size)
{
    if (size < baseBlockSize || !std::equal(std::begin(header), std::end(header), data))
        return std::nullopt;
    if (std::accumulate(data, data + baseBlockSize, 0u) % 256 != 0)
        return std::nullopt;
    Edid edid;
    edid.m_manufacturerId = manufacturerIdOf(data + manufacturerIdOffset);
    std::copy_n(data + manufacturerIdOffset, edid.m_product.size(), edid.m_product.begin());
    if (const std::uint32_t serialNumber = littleEndian32(data + serialNumberOffset))
        edid.m_serialNumber = std::to_string(serialNumber);
    for (const std::size_t offset : descriptorOffsets) {
        const std::uint8_t *descriptor = data + offset;
        if (isTextDescriptor(descriptor, monitorNameTag))
            edid.m_monitorName = descriptorText(descriptor);
        if (isTextDescriptor(descriptor, serialNumberTag))
            edid.m_serialNumber = descriptorText(descriptor);
    }
    return edid;
}

const std::string &Edid::manufacturerId() const
{
    return m_manufacturerId;
}

const std::string &Edid::monitorName() const
{
    return m_monitorName;
}

const std::string &Edid::serialNumber() const
{
    return m_serialNumber;
}

// The texts are printable and hold no line feed: the fields cannot run into
// each other.
std::string Edid::identityKey() const
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string key;
    for (const std::uint8_t byte : m_product) {
        key += digits[byte >> 4];
        key += digits[byte & 0xF];
    }
    return key + '\n' + m_monitorName + '\n' + m_serialNumber;
}

bool Edid::isSameMonitorAs(const Edid &other) const
{
    return identityKey() == other.identityKey();
}
