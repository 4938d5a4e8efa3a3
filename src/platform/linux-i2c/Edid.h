#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// What Varno takes from a display's EDID base block: the monitor name and
// serial number.
class Edid
{
public:
    // Null unless `data` starts with a complete base block whose header and
    // checksum are right; extension blocks after it are ignored.
    static std::optional<Edid> parse(const std::uint8_t *data, std::size_t size);

    // Both as Qt takes them, so that they can be compared with what Qt shows.
    // The text of the last monitor-name descriptor (0xFC), trimmed, with
    // control and non-ASCII bytes replaced by '-'; empty when there is none.
    const std::string &monitorName() const;
    // The text of the last serial-number descriptor (0xFF), else the binary
    // serial number in decimal; empty when that is 0.
    const std::string &serialNumber() const;

private:
    std::string m_monitorName;
    std::string m_serialNumber;
};
