#pragma once

#include <cstdint>
#include <vector>

// DDC/CI requests as they are handed to i2c-dev: the kernel sends the
// display's address byte (0x6E) itself, so a request starts at the host's
// source byte 0x51, and its checksum still covers the 0x6E that is not in it.
class DdcCiRequest
{
public:
    static constexpr std::uint8_t hostSource = 0x51;
    static constexpr std::uint8_t displayWriteAddress = 0x6E;
    static constexpr std::uint8_t getVcpOpcode = 0x01;
    static constexpr std::uint8_t setVcpOpcode = 0x03;

    static std::vector<std::uint8_t> getVcp(std::uint8_t code);
    static std::vector<std::uint8_t> setVcp(std::uint8_t code, std::uint16_t value);

private:
    static std::vector<std::uint8_t> frame(std::initializer_list<std::uint8_t> data);
};
