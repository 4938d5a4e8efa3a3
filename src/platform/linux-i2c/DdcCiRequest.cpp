#include "DdcCiRequest.h"

std::vector<std::uint8_t> DdcCiRequest::getVcp(std::uint8_t code)
{
    return frame({getVcpOpcode, code});
}

std::vector<std::uint8_t> DdcCiRequest::setVcp(std::uint8_t code, std::uint16_t value)
{
    return frame({setVcpOpcode, code, std::uint8_t(value >> 8), std::uint8_t(value & 0xFF)});
}

std::vector<std::uint8_t> DdcCiRequest::frame(std::initializer_list<std::uint8_t> data)
{
    // Built byte by byte: GCC 12 warns about a range insert here in optimised
    // builds, wrongly.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(data.size() + 3);
    bytes.push_back(hostSource);
    bytes.push_back(std::uint8_t(0x80 | data.size()));
    for (const std::uint8_t byte : data)
        bytes.push_back(byte);
    std::uint8_t checksum = displayWriteAddress;
    for (const std::uint8_t byte : bytes)
        checksum ^= byte;
    bytes.push_back(checksum);
    return bytes;
}
