#pragma once

#include "win32shim.h"

#include <cstddef>
#include <optional>

// The monitor controls that the backend's Windows calls reach, one per
// colour channel.
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
constexpr std::size_t monitorControlCount = std::size_t(MonitorControl::BlueGain) + 1;

// Colour types outside red, green and blue have no control.
std::optional<MonitorControl> driveControl(MC_DRIVE_TYPE type);
std::optional<MonitorControl> gainControl(MC_GAIN_TYPE type);
