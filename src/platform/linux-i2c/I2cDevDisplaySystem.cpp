#include "I2cDevDisplaySystem.h"

#include "Clock.h"

#include <chrono>

namespace {

constexpr LUID adapter = {0x1d2c, 0};

// Handles and display-configuration ids are positions in the list of
// displays, counted from 1 so that no handle is null.
HMONITOR monitorHandle(std::size_t position)
{
    return reinterpret_cast<HMONITOR>(std::uintptr_t(position + 1));
}

HANDLE physicalMonitorHandle(std::size_t position)
{
    return reinterpret_cast<HANDLE>(std::uintptr_t(position + 1));
}

} // namespace

I2cDevDisplaySystem::I2cDevDisplaySystem(const Environment &environment)
    : m_clock(environment.clock), m_scanner(environment.sysfsRoot)
{
    DisplayDiscovery discovery(environment.sysfsRoot, environment.deviceDirectory,
                               environment.transport, environment.clock);
    for (DiscoveredDisplay &display : discovery.discover())
        m_displays.push_back({std::move(display)});
    m_advice = discovery.advice();
    m_noMonitorReason = discovery.noMonitorReason();
}

QStringList I2cDevDisplaySystem::advice() const
{
    return m_advice;
}

bool I2cDevDisplaySystem::isKnownSilent(HANDLE physicalMonitor)
{
    const Display *display = handedOutDisplay(physicalMonitor);
    return display && !display->discovered.answered;
}

NoMonitorReason I2cDevDisplaySystem::noMonitorReason() const
{
    return m_noMonitorReason;
}

I2cDevDisplaySystem::Display *I2cDevDisplaySystem::displayAt(std::uintptr_t position)
{
    return position >= 1 && position <= m_displays.size() ? &m_displays[position - 1] : nullptr;
}

I2cDevDisplaySystem::Display *I2cDevDisplaySystem::displayAt(HMONITOR monitor)
{
    return displayAt(reinterpret_cast<std::uintptr_t>(monitor));
}

I2cDevDisplaySystem::Display *I2cDevDisplaySystem::handedOutDisplay(HANDLE physicalMonitor)
{
    Display *display = displayAt(reinterpret_cast<std::uintptr_t>(physicalMonitor));
    return display && display->handedOut ? display : nullptr;
}

// A cable moved to another port or a monitor replaced while Varno runs would
// let an entry drive another display: each exchange first makes sure that the
// output still shows the display it was discovered for. That costs two small
// sysfs reads, nothing beside the wait of one exchange, and also holds for a
// write made between two refreshes.
DdcCiChannel *I2cDevDisplaySystem::channelBehind(HANDLE physicalMonitor)
{
    Display *display = handedOutDisplay(physicalMonitor);
    return display && m_scanner.showsStill(display->discovered.connector)
        ? display->discovered.channel.get()
        : nullptr;
}

BOOL I2cDevDisplaySystem::enumDisplayMonitors(HDC, LPCRECT, MONITORENUMPROC callback, LPARAM data)
{
    for (std::size_t position = 0; position < m_displays.size(); ++position) {
        RECT bounds = {};
        if (!callback(monitorHandle(position), nullptr, &bounds, data))
            break;
    }
    return TRUE;
}

BOOL I2cDevDisplaySystem::getMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    const Display *display = displayAt(monitor);
    if (!display || info->cbSize != sizeof(MONITORINFOEXW))
        return fail();
    copyWide(display->discovered.connector.name, static_cast<MONITORINFOEXW *>(info)->szDevice);
    return TRUE;
}

// One active path per display, and no modes: nothing asks for them.
LONG I2cDevDisplaySystem::getDisplayConfigBufferSizes(UINT32, UINT32 *pathCount, UINT32 *modeCount)
{
    *pathCount = UINT32(m_displays.size());
    *modeCount = 0;
    return ERROR_SUCCESS;
}

LONG I2cDevDisplaySystem::queryDisplayConfig(UINT32, UINT32 *pathCount,
                                             DISPLAYCONFIG_PATH_INFO *paths, UINT32 *modeCount,
                                             DISPLAYCONFIG_MODE_INFO *,
                                             DISPLAYCONFIG_TOPOLOGY_ID *topology)
{
    if (topology)
        return ERROR_INVALID_PARAMETER;
    const auto needed = UINT32(m_displays.size());
    if (*pathCount < needed)
        return ERROR_INSUFFICIENT_BUFFER;
    for (UINT32 i = 0; i < needed; ++i) {
        paths[i] = {};
        paths[i].sourceInfo.adapterId = adapter;
        paths[i].sourceInfo.id = i + 1;
        paths[i].targetInfo.adapterId = adapter;
        paths[i].targetInfo.id = i + 1;
        paths[i].targetInfo.targetAvailable = TRUE;
    }
    *pathCount = needed;
    *modeCount = 0;
    return ERROR_SUCCESS;
}

LONG I2cDevDisplaySystem::displayConfigGetDeviceInfo(DISPLAYCONFIG_DEVICE_INFO_HEADER *request)
{
    const Display *display = displayAt(std::uintptr_t(request->id));
    if (!display || request->adapterId.LowPart != adapter.LowPart
        || request->adapterId.HighPart != adapter.HighPart)
        return ERROR_INVALID_PARAMETER;
    if (request->type == DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME
        && request->size == sizeof(DISPLAYCONFIG_SOURCE_DEVICE_NAME)) {
        copyWide(display->discovered.connector.name,
                 reinterpret_cast<DISPLAYCONFIG_SOURCE_DEVICE_NAME *>(request)->viewGdiDeviceName);
        return ERROR_SUCCESS;
    }
    if (request->type == DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME
        && request->size == sizeof(DISPLAYCONFIG_TARGET_DEVICE_NAME)) {
        auto *target = reinterpret_cast<DISPLAYCONFIG_TARGET_DEVICE_NAME *>(request);
        copyWide(display->discovered.monitorName, target->monitorFriendlyDeviceName);
        copyWide(display->discovered.connector.name, target->monitorDevicePath);
        return ERROR_SUCCESS;
    }
    return ERROR_INVALID_PARAMETER;
}

QList<Win32Platform::MonitorDevice> I2cDevDisplaySystem::monitorDevices() const
{
    QList<MonitorDevice> devices;
    for (const Display &display : m_displays)
        devices.append({display.discovered.connector.name, display.discovered.connector.edid});
    return devices;
}

BOOL I2cDevDisplaySystem::getNumberOfPhysicalMonitors(HMONITOR monitor, LPDWORD count)
{
    if (!displayAt(monitor))
        return fail();
    *count = 1;
    return TRUE;
}

BOOL I2cDevDisplaySystem::getPhysicalMonitors(HMONITOR monitor, DWORD count,
                                              LPPHYSICAL_MONITOR physicalMonitors)
{
    Display *display = displayAt(monitor);
    if (!display || count != 1 || !display->discovered.channel)
        return fail();
    display->handedOut = true;
    physicalMonitors[0].hPhysicalMonitor =
        physicalMonitorHandle(std::size_t(reinterpret_cast<std::uintptr_t>(monitor) - 1));
    copyWide(display->discovered.monitorName, physicalMonitors[0].szPhysicalMonitorDescription);
    return TRUE;
}

BOOL I2cDevDisplaySystem::destroyPhysicalMonitor(HANDLE physicalMonitor)
{
    Display *display = handedOutDisplay(physicalMonitor);
    if (!display)
        return fail();
    display->discovered.channel.reset();
    display->handedOut = false;
    return TRUE;
}

// DDC/CI reports no minimum: continuous controls start at 0. A reply that
// says the code is unsupported fails as Windows fails it, so that the backend
// does not ask again.
BOOL I2cDevDisplaySystem::read(HANDLE physicalMonitor, std::optional<MonitorControl> control,
                               LPDWORD minimum, LPDWORD current, LPDWORD maximum)
{
    DdcCiChannel *channel = channelBehind(physicalMonitor);
    if (!channel || !control)
        return fail();
    const VcpReply reply = channel->getVcp(vcpCode(*control));
    if (reply.kind == VcpReply::Kind::Unsupported)
        return fail(vcpNotSupported);
    if (reply.kind != VcpReply::Kind::Value)
        return fail();
    *minimum = 0;
    *current = reply.current;
    *maximum = reply.maximum;
    return TRUE;
}

BOOL I2cDevDisplaySystem::write(HANDLE physicalMonitor, std::optional<MonitorControl> control,
                                DWORD value)
{
    DdcCiChannel *channel = channelBehind(physicalMonitor);
    return channel && control && channel->setVcp(vcpCode(*control), value) ? TRUE : fail();
}

BOOL I2cDevDisplaySystem::getMonitorBrightness(HANDLE physicalMonitor, LPDWORD minimum,
                                               LPDWORD current, LPDWORD maximum)
{
    return read(physicalMonitor, MonitorControl::Brightness, minimum, current, maximum);
}

BOOL I2cDevDisplaySystem::getMonitorContrast(HANDLE physicalMonitor, LPDWORD minimum,
                                             LPDWORD current, LPDWORD maximum)
{
    return read(physicalMonitor, MonitorControl::Contrast, minimum, current, maximum);
}

BOOL I2cDevDisplaySystem::getMonitorRedGreenOrBlueDrive(HANDLE physicalMonitor, MC_DRIVE_TYPE type,
                                                        LPDWORD minimum, LPDWORD current,
                                                        LPDWORD maximum)
{
    return read(physicalMonitor, driveControl(type), minimum, current, maximum);
}

BOOL I2cDevDisplaySystem::getMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE type,
                                                       LPDWORD minimum, LPDWORD current,
                                                       LPDWORD maximum)
{
    return read(physicalMonitor, gainControl(type), minimum, current, maximum);
}

BOOL I2cDevDisplaySystem::setMonitorBrightness(HANDLE physicalMonitor, DWORD value)
{
    return write(physicalMonitor, MonitorControl::Brightness, value);
}

BOOL I2cDevDisplaySystem::setMonitorContrast(HANDLE physicalMonitor, DWORD value)
{
    return write(physicalMonitor, MonitorControl::Contrast, value);
}

BOOL I2cDevDisplaySystem::setMonitorRedGreenOrBlueDrive(HANDLE physicalMonitor, MC_DRIVE_TYPE type,
                                                        DWORD value)
{
    return write(physicalMonitor, driveControl(type), value);
}

BOOL I2cDevDisplaySystem::setMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE type,
                                                       DWORD value)
{
    return write(physicalMonitor, gainControl(type), value);
}

void I2cDevDisplaySystem::sleep(DWORD milliseconds)
{
    m_clock.sleep(std::chrono::milliseconds(milliseconds));
}
