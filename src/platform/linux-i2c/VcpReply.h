#pragma once

#include <cstddef>
#include <cstdint>

// A display's answer to Get VCP, judged byte by byte before any value in it is
// believed. Only Value carries a reading.
struct VcpReply
{
    enum class Kind {
        Value,
        Unsupported,
        // The display had nothing to say (not ready, or its way of saying
        // "unsupported").
        NullMessage,
        Invalid,
        // Never parsed: another program held the bus, so nothing was asked.
        BusBusy,
    };

    // The reply read for a Get VCP of `code`, as i2c-dev returns it (from the
    // display's source byte 0x6E on).
    static VcpReply parse(const std::uint8_t *data, std::size_t size, std::uint8_t code);

    // Bytes a Get VCP reply occupies on the bus.
    static constexpr std::size_t size = 11;

    Kind kind = Kind::Invalid;
    std::uint16_t maximum = 0;
    std::uint16_t current = 0;
};
