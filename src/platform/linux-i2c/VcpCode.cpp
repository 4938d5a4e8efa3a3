#include "VcpCode.h"

#include <iterator>

namespace {

// The one place that says which VCP code answers which Windows call, in the
// order of MonitorControl. Windows documents drive as another name for black
// level, so drive is the video black level (0x6C..0x70) and gain the video
// gain (0x16..0x1A).
constexpr std::uint8_t codes[] = {
    0x10, // Brightness
    0x12, // Contrast
    0x6C, // RedDrive
    0x6E, // GreenDrive
    0x70, // BlueDrive
    0x16, // RedGain
    0x18, // GreenGain
    0x1A, // BlueGain
};
static_assert(std::size(codes) == monitorControlCount);

} // namespace

std::uint8_t vcpCode(MonitorControl control)
{
    return codes[std::size_t(control)];
}
