#pragma once

#include "win32-standin/MonitorControl.h"

#include <cstdint>

// The MCCS VCP code behind each control Varno drives.
std::uint8_t vcpCode(MonitorControl control);
