#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// What Varno takes from a display's EDID base block: the monitor name.
class Edid
{
public:
    // Null unless `data` starts with a complete base block whose header and
    // checksum are right; extension blocks after it are ignored.
    static std::optional<Edid> parse(const std::uint8_t *data, std::size_t size);

    // The text of the first monitor-name descriptor (0xFC), trimmed, with
    // control and non-ASCII bytes replaced by '?'; empty when there is none.
    const std::string &monitorName() const;

private:
    std::string m_monitorName;
};
