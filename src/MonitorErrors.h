#pragma once

#include <cstdint>

// Windows' errors of the monitor configuration, by value: mingw-w64's headers
// lack them, and the SDK types them as HRESULTs, where GetLastError answers a
// DWORD.
namespace MonitorError {

// A message lost or garbled on the bus: ERROR_GRAPHICS_I2C_ERROR_TRANSMITTING_DATA,
// ..._I2C_ERROR_RECEIVING_DATA, ..._DDCCI_INVALID_DATA,
// ..._DDCCI_MONITOR_RETURNED_INVALID_TIMING_STATUS_BYTE, and the DDC/CI
// message's ..._INVALID_MESSAGE_COMMAND, _LENGTH and _CHECKSUM.
constexpr std::uint32_t lostOnTheBus[] = {0xC0262582, 0xC0262583, 0xC0262585, 0xC0262586,
                                          0xC0262589, 0xC026258A, 0xC026258B};
// ERROR_GRAPHICS_DDCCI_VCP_NOT_SUPPORTED: the monitor lacks the control.
constexpr std::uint32_t vcpNotSupported = 0xC0262584;
// ERROR_GRAPHICS_INVALID_PHYSICAL_MONITOR_HANDLE
constexpr std::uint32_t invalidPhysicalMonitorHandle = 0xC026258C;
// ERROR_GRAPHICS_MONITOR_NO_LONGER_EXISTS: the display mode changed, and with
// it every handle.
constexpr std::uint32_t monitorNoLongerExists = 0xC026258D;
// ERROR_GRAPHICS_ONLY_CONSOLE_SESSION_SUPPORTED: a remote session.
constexpr std::uint32_t onlyConsoleSession = 0xC02625E0;

} // namespace MonitorError
