#pragma once

#include "win32shim/win32shim.h"

#include <cstdint>
#include <optional>

// The controls Varno drives and the MCCS VCP code behind each of them.
enum class MonitorControl {
    Brightness,
    Contrast,
    RedDrive,
    GreenDrive,
    BlueDrive,
    RedGain,
    GreenGain,
    BlueGain,
};

std::uint8_t vcpCode(MonitorControl control);
// Colour types outside red, green and blue have no control.
std::optional<MonitorControl> driveControl(MC_DRIVE_TYPE type);
std::optional<MonitorControl> gainControl(MC_GAIN_TYPE type);
