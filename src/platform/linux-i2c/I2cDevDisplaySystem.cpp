#include "I2cDevDisplaySystem.h"

#include "Clock.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr LUID adapter = {0x1d2c, 0};

} // namespace

I2cDevDisplaySystem::I2cDevDisplaySystem(const Environment &environment)
    : m_clock(environment.clock),
      m_scanner(environment.sysfsRoot),
      m_discovery(environment.sysfsRoot, environment.deviceDirectory, environment.transport,
                  environment.clock)
{
    rescan();
}

// The outputs are read before the connectors, so that a change between the
// two reads is seen by the next look. A monitor replaced on an output that
// stays connected (a KVM switch, a laptop resumed at another desk) changes
// what the output shows too.
bool I2cDevDisplaySystem::displaysChanged()
{
    return m_scanner.outputs() != m_outputsSeen;
}

// A display whose output still shows it keeps its channel and is not asked
// again; one whose channel was closed with its last handle is discovered
// anew.
bool I2cDevDisplaySystem::isKept(const Display &display) const
{
    return display.discovered.channel && m_scanner.showsStill(display.discovered.connector);
}

void I2cDevDisplaySystem::rescan()
{
    m_outputsSeen = m_scanner.outputs();
    const QList<DrmConnector> connectors = m_scanner.connectedDisplays();
    std::vector<Display> kept;
    QStringList driven;
    for (Display &display : m_displays) {
        if (!isKept(display))
            continue;
        driven.append(display.discovered.connector.name);
        kept.push_back(std::move(display));
    }
    m_displays.clear(); // closes the channels of displays that went
    std::vector<DiscoveredDisplay> found = m_discovery.discover(connectors, driven);
    addAdvice(m_discovery.advice());
    m_noMonitorReason = m_discovery.noMonitorReason();

    // In the order of their outputs, as at start-up.
    for (const DrmConnector &connector : connectors) {
        const auto named = [&](const DiscoveredDisplay &display) {
            return display.connector.name == connector.name;
        };
        const auto keptOne = std::find_if(kept.begin(), kept.end(), [&](const Display &display) {
            return named(display.discovered);
        });
        if (keptOne != kept.end()) {
            m_displays.push_back(std::move(*keptOne));
            continue;
        }
        const auto newOne = std::find_if(found.begin(), found.end(), named);
        if (newOne != found.end())
            m_displays.push_back({++m_lastDisplayId, std::move(*newOne)});
    }
}

// Each warning once a run, however often its display is looked at again.
void I2cDevDisplaySystem::addAdvice(const QStringList &advice)
{
    for (const QString &line : advice) {
        if (!m_advice.contains(line))
            m_advice.append(line);
    }
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

I2cDevDisplaySystem::Display *I2cDevDisplaySystem::displayWithId(std::uintptr_t id)
{
    const auto display = std::find_if(m_displays.begin(), m_displays.end(),
                                      [id](const Display &display) { return display.id == id; });
    return display != m_displays.end() ? &*display : nullptr;
}

I2cDevDisplaySystem::Display *I2cDevDisplaySystem::displayAt(HMONITOR monitor)
{
    return displayWithId(reinterpret_cast<std::uintptr_t>(monitor));
}

// Null for a handle destroyed, never handed out, or whose display went.
I2cDevDisplaySystem::Display *I2cDevDisplaySystem::handedOutDisplay(HANDLE physicalMonitor)
{
    const auto handle = m_handedOut.find(reinterpret_cast<std::uintptr_t>(physicalMonitor));
    return handle != m_handedOut.end() ? displayWithId(handle->second) : nullptr;
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

// Looks again on every call rather than only after displaysChanged(): the
// backend enumerates only at start-up and after a change, a look costs sysfs
// reads and opens only buses not yet driven, and it also catches a monitor
// swapped on an output faster than its status could show.
BOOL I2cDevDisplaySystem::enumDisplayMonitors(HDC, LPCRECT, MONITORENUMPROC callback, LPARAM data)
{
    rescan();
    for (const Display &display : m_displays) {
        RECT bounds = {};
        if (!callback(reinterpret_cast<HMONITOR>(display.id), nullptr, &bounds, data))
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
        paths[i].sourceInfo.id = UINT32(m_displays[i].id);
        paths[i].targetInfo.adapterId = adapter;
        paths[i].targetInfo.id = UINT32(m_displays[i].id);
        paths[i].targetInfo.targetAvailable = TRUE;
    }
    *pathCount = needed;
    *modeCount = 0;
    return ERROR_SUCCESS;
}

LONG I2cDevDisplaySystem::displayConfigGetDeviceInfo(DISPLAYCONFIG_DEVICE_INFO_HEADER *request)
{
    const Display *display = displayWithId(request->id);
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
    m_handedOut.emplace(++m_lastPhysicalMonitor, display->id);
    physicalMonitors[0].hPhysicalMonitor = reinterpret_cast<HANDLE>(m_lastPhysicalMonitor);
    copyWide(display->discovered.monitorName, physicalMonitors[0].szPhysicalMonitorDescription);
    return TRUE;
}

// A handle whose display went is released all the same; the channel closes
// with the last handle of its display.
BOOL I2cDevDisplaySystem::destroyPhysicalMonitor(HANDLE physicalMonitor)
{
    const auto handle = m_handedOut.find(reinterpret_cast<std::uintptr_t>(physicalMonitor));
    if (handle == m_handedOut.end())
        return fail();
    const std::uintptr_t id = handle->second;
    m_handedOut.erase(handle);
    const bool lastHandle = std::none_of(m_handedOut.begin(), m_handedOut.end(),
                                         [id](const auto &other) { return other.second == id; });
    if (Display *display = displayWithId(id); display && lastHandle)
        display->discovered.channel.reset();
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
    const VcpReply reply = channel->getVcp(vcpCode(*control), whileWaiting());
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
