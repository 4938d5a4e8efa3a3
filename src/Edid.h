#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// What Varno takes from a display's EDID base block, wherever the platform
// found it: the maker, the monitor name and the serial number, and what tells
// one monitor from another.
class Edid
{
public:
    // Null unless `data` starts with a complete base block whose header and
    // checksum are right; extension blocks after it are ignored.
    static std::optional<Edid> parse(const std::uint8_t *data, std::size_t size);

    // The three-letter PNP id of the maker ("DEL"), '@' standing for a letter
    // left 0; empty when a letter is out of range.
    const std::string &manufacturerId() const;
    // The texts as a user reads them, without padding: the last monitor-name
    // descriptor (0xFC); empty when there is none.
    const std::string &monitorName() const;
    // The last serial-number descriptor (0xFF), else the binary serial number
    // in decimal; empty when that is 0.
    const std::string &serialNumber() const;
    // What tells the monitor from any other: its maker, product code, binary
    // serial number, name text and serial text, in one string. Extension
    // blocks take no part: many monitors rewrite one when an option of their
    // own menu changes (adaptive sync, HDR, DisplayPort version).
    std::string identityKey() const;
    // Whether both come from the same monitor: their identity keys agree.
    bool isSameMonitorAs(const Edid &other) const;

private:
    std::array<std::uint8_t, 8> m_product{}; // maker, product code, binary serial
    std::string m_manufacturerId;
    std::string m_monitorName;
    std::string m_serialNumber;
};
