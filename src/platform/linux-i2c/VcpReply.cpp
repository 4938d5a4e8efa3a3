#include "VcpReply.h"

namespace {

constexpr std::uint8_t displaySource = 0x6E;
// Replies are checksummed as if sent to this address, not to the host's 0x51.
constexpr std::uint8_t virtualHostAddress = 0x50;
constexpr std::uint8_t replyOpcode = 0x02;
constexpr std::size_t maximumDataLength = 35;
constexpr std::size_t vcpReplyDataLength = 8;
constexpr std::uint8_t resultNoError = 0x00;
constexpr std::uint8_t resultUnsupported = 0x01;
constexpr std::uint8_t typeSetParameter = 0x00;
constexpr std::uint8_t typeMomentary = 0x01;

VcpReply invalid()
{
    return {};
}

} // namespace

VcpReply VcpReply::parse(const std::uint8_t *data, std::size_t size, std::uint8_t code)
{
    if (size < 3 || data[0] != displaySource)
        return invalid();
    // Some displays leave the 0x80 flag off the length byte.
    const std::size_t length = data[1] & 0x7F;
    if (length > maximumDataLength || size < length + 3)
        return invalid();
    std::uint8_t checksum = virtualHostAddress;
    for (std::size_t i = 0; i < length + 3; ++i)
        checksum ^= data[i];
    if (checksum != 0)
        return invalid();
    if (length == 0)
        return {Kind::NullMessage};

    const std::uint8_t *reply = data + 2;
    if (length != vcpReplyDataLength || reply[0] != replyOpcode || reply[2] != code)
        return invalid();
    if (reply[1] == resultUnsupported)
        return {Kind::Unsupported};
    if (reply[1] != resultNoError || (reply[3] != typeSetParameter && reply[3] != typeMomentary))
        return invalid();
    const auto maximum = std::uint16_t(reply[4] << 8 | reply[5]);
    const auto current = std::uint16_t(reply[6] << 8 | reply[7]);
    // Some displays answer an unknown code with an all-zero range.
    if (maximum == 0 && current == 0)
        return {Kind::Unsupported};
    return {Kind::Value, maximum, current};
}
