#include "Edid.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr std::size_t baseBlockSize = 128;
constexpr std::uint8_t header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr std::size_t descriptorOffsets[] = {54, 72, 90, 108};
constexpr std::size_t descriptorTextOffset = 5;
constexpr std::size_t descriptorTextSize = 13;
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

std::string descriptorText(const std::uint8_t *descriptor)
{
    const std::uint8_t *text = descriptor + descriptorTextOffset;
    const std::uint8_t *end = std::find_if(text, text + descriptorTextSize, [](std::uint8_t byte) {
        return byte == '\n' || byte == 0;
    });
    std::string result(text, end);
    const auto isSpace = [](char c) { return c == ' '; };
    result.erase(std::find_if_not(result.rbegin(), result.rend(), isSpace).base(), result.end());
    result.erase(result.begin(), std::find_if_not(result.begin(), result.end(), isSpace));
    for (char &c : result) {
        const auto byte = std::uint8_t(c);
        if (byte < 0x20 || byte > 0x7E)
            c = '-';
    }
    return result;
}

} // namespace

std::optional<Edid> Edid::parse(const std::uint8_t *data, std::size_t size)
{
    if (size < baseBlockSize || !std::equal(std::begin(header), std::end(header), data))
        return std::nullopt;
    if (std::accumulate(data, data + baseBlockSize, 0u) % 256 != 0)
        return std::nullopt;
    Edid edid;
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

const std::string &Edid::monitorName() const
{
    return m_monitorName;
}

const std::string &Edid::serialNumber() const
{
    return m_serialNumber;
}
