#include "SimulatedDisplaySystem.h"

#include <algorithm>
#include <thread>

namespace {

constexpr LUID adapter = {0x5a5a, 0};
constexpr UINT32 firstTargetId = 0x1000;
constexpr int modesPerPath = 2;

HMONITOR displayHandle(int id)
{
    return reinterpret_cast<HMONITOR>(quintptr(id + 1));
}

QString colourArgument(int colourType)
{
    return QStringLiteral(", %1").arg(colourType);
}

} // namespace

SimulatedDisplaySystem::SimulatedDisplaySystem() = default;

SimulatedDisplaySystem::SimulatedDisplaySystem(Delays delays) : m_delays(delays) { }

SimulatedDisplaySystem::Delays SimulatedDisplaySystem::monitorLike()
{
    return {std::chrono::milliseconds(40), std::chrono::milliseconds(50)};
}

int SimulatedDisplaySystem::addDisplayMonitor(const QString &gdiDeviceName,
                                              const QString &friendlyName)
{
    DisplayMonitor monitor;
    monitor.gdiDeviceName = gdiDeviceName;
    monitor.friendlyName = friendlyName;
    // A monitor interface path as Windows hands it out: hardware id, instance,
    // interface class.
    monitor.devicePath = QStringLiteral("\\\\?\\DISPLAY#SIM%1#4&1f0c5e2&0&UID%2#"
                                        "{e6f07b5f-ee97-4a90-b076-33f57bf4eaa7}")
                             .arg(m_displayMonitors.size() + 1, 4, 10, QLatin1Char('0'))
                             .arg(4352 + m_displayMonitors.size());
    m_displayMonitors.append(monitor);
    changeDisplays();
    return int(m_displayMonitors.size()) - 1;
}

SimulatedDisplaySystem::DisplayMonitor &SimulatedDisplaySystem::displayMonitor(int id)
{
    return m_displayMonitors[id];
}

int SimulatedDisplaySystem::monitorCount() const
{
    return int(m_displayMonitors.size());
}

void SimulatedDisplaySystem::detachDisplayMonitor(int id)
{
    m_displayMonitors[id].attached = false;
    changeDisplays();
}

void SimulatedDisplaySystem::attachDisplayMonitor(int id)
{
    DisplayMonitor &monitor = m_displayMonitors[id];
    if (monitor.attached)
        return;
    monitor.attached = true;
    ++monitor.attachment;
    changeDisplays();
}

void SimulatedDisplaySystem::changeDisplays()
{
    m_displaysChanged = true;
}

// What was discovered before the last enumeration is of no concern.
bool SimulatedDisplaySystem::displaysChanged()
{
    return m_displaysChanged;
}

SimulatedDisplaySystem::ControlState &
SimulatedDisplaySystem::control(int displayMonitor, MonitorControl control, int physicalMonitor)
{
    return m_displayMonitors[displayMonitor]
        .physicalMonitors[physicalMonitor]
        .controls[std::size_t(control)];
}

void SimulatedDisplaySystem::setSilent(int displayMonitor, bool silent)
{
    for (PhysicalMonitor &monitor : m_displayMonitors[displayMonitor].physicalMonitors) {
        for (ControlState &state : monitor.controls)
            state.neverAnswers = silent;
    }
}

void SimulatedDisplaySystem::setPredatingVirtualModes(bool predating)
{
    m_predatingVirtualModes = predating;
}

void SimulatedDisplaySystem::changeDisplayMode()
{
    ++m_displayMode;
}

void SimulatedDisplaySystem::setConfigurationDenied(bool denied)
{
    m_configurationDenied = denied;
}

void SimulatedDisplaySystem::setHandleZeroOwner(int displayMonitor)
{
    m_handleZeroOwner = displayMonitor;
}

void SimulatedDisplaySystem::setRecordingCalls(bool recording)
{
    m_recording = recording;
}

QStringList SimulatedDisplaySystem::calls() const
{
    return m_calls;
}

void SimulatedDisplaySystem::clearCalls()
{
    m_calls.clear();
}

int SimulatedDisplaySystem::openPhysicalMonitorHandles() const
{
    return int(m_openHandles.size());
}

void SimulatedDisplaySystem::record(const QString &call)
{
    if (m_recording)
        m_calls.append(call);
}

QString SimulatedDisplaySystem::handleName(HMONITOR monitor) const
{
    return QStringLiteral("display %1").arg(qsizetype(quintptr(monitor)) - 1);
}

QString SimulatedDisplaySystem::handleName(HANDLE physicalMonitor) const
{
    const auto found = m_openHandles.find(physicalMonitor);
    if (found == m_openHandles.end()) {
        return physicalMonitor
            ? QStringLiteral("unknown 0x%1").arg(quintptr(physicalMonitor), 0, 16)
            : QStringLiteral("null");
    }
    const PhysicalMonitorId &id = found->second;
    const QString name =
        QStringLiteral("physical %1.%2").arg(id.displayMonitor).arg(id.physicalMonitor);
    // The first attachment is the only one most tests know.
    return id.attachment == 1 ? name : name + QStringLiteral("#%1").arg(id.attachment);
}

int SimulatedDisplaySystem::displayPosition(HMONITOR monitor) const
{
    const auto id = qsizetype(quintptr(monitor)) - 1;
    return id >= 0 && id < m_displayMonitors.size() && m_displayMonitors.at(id).attached ? int(id)
                                                                                         : -1;
}

QList<int> SimulatedDisplaySystem::pathOwners() const
{
    QList<int> owners;
    for (int position = 0; position < m_displayMonitors.size(); ++position) {
        const DisplayMonitor &monitor = m_displayMonitors.at(position);
        if (monitor.attached && monitor.hasActivePath)
            owners.append(position);
    }
    return owners;
}

BOOL SimulatedDisplaySystem::enumDisplayMonitors(HDC, LPCRECT, MONITORENUMPROC callback,
                                                 LPARAM data)
{
    record(QStringLiteral("EnumDisplayMonitors"));
    m_displaysChanged = false;
    int left = 0;
    for (int id = 0; id < m_displayMonitors.size(); ++id) {
        if (!m_displayMonitors.at(id).attached)
            continue;
        RECT bounds = {left, 0, left + 1920, 1080};
        left += 1920;
        if (!callback(displayHandle(id), nullptr, &bounds, data))
            break;
    }
    return TRUE;
}

BOOL SimulatedDisplaySystem::getMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    record(QStringLiteral("GetMonitorInfoW(%1, %2)").arg(handleName(monitor)).arg(info->cbSize));
    const int position = displayPosition(monitor);
    if (position < 0 || fails(DisplayCall::MonitorInfo, position)
        || info->cbSize != sizeof(MONITORINFOEXW))
        return fail();
    auto *extended = static_cast<MONITORINFOEXW *>(info);
    copyWide(m_displayMonitors.at(position).gdiDeviceName, extended->szDevice);
    return TRUE;
}

bool SimulatedDisplaySystem::refusesFlags(UINT32 flags) const
{
    return m_predatingVirtualModes && (flags & QDC_VIRTUAL_MODE_AWARE);
}

LONG SimulatedDisplaySystem::getDisplayConfigBufferSizes(UINT32 flags, UINT32 *pathCount,
                                                         UINT32 *modeCount)
{
    record(QStringLiteral("GetDisplayConfigBufferSizes(0x%1)").arg(flags, 0, 16));
    if (m_configurationDenied)
        return ERROR_ACCESS_DENIED;
    if (refusesFlags(flags))
        return ERROR_INVALID_PARAMETER;
    const UINT32 hidden = pathsHiddenFromSizeQuery();
    const auto paths = UINT32(pathOwners().size());
    *pathCount = paths > hidden ? paths - hidden : 0;
    *modeCount = *pathCount * modesPerPath;
    return ERROR_SUCCESS;
}

LONG SimulatedDisplaySystem::queryDisplayConfig(UINT32 flags, UINT32 *pathCount,
                                                DISPLAYCONFIG_PATH_INFO *paths, UINT32 *modeCount,
                                                DISPLAYCONFIG_MODE_INFO *modes,
                                                DISPLAYCONFIG_TOPOLOGY_ID *topology)
{
    record(QStringLiteral("QueryDisplayConfig(0x%1, %2, %3)")
               .arg(flags, 0, 16)
               .arg(*pathCount)
               .arg(*modeCount));
    const QList<int> owners = pathOwners();
    const auto needed = UINT32(owners.size());
    if (topology || refusesFlags(flags))
        return ERROR_INVALID_PARAMETER;
    if (*pathCount < needed || *modeCount < needed * modesPerPath)
        return ERROR_INSUFFICIENT_BUFFER;
    for (UINT32 i = 0; i < needed; ++i) {
        paths[i] = {};
        paths[i].sourceInfo.adapterId = adapter;
        paths[i].sourceInfo.id = UINT32(owners.at(i));
        paths[i].targetInfo.adapterId = adapter;
        paths[i].targetInfo.id = firstTargetId + UINT32(owners.at(i));
        paths[i].targetInfo.outputTechnology = m_displayMonitors.at(owners.at(i)).outputTechnology;
        paths[i].targetInfo.targetAvailable = TRUE;
    }
    for (UINT32 i = 0; i < needed * modesPerPath; ++i) {
        modes[i] = {};
        modes[i].infoType =
            i % 2 ? DISPLAYCONFIG_MODE_INFO_TYPE_TARGET : DISPLAYCONFIG_MODE_INFO_TYPE_SOURCE;
        modes[i].adapterId = adapter;
    }
    *pathCount = needed;
    *modeCount = needed * modesPerPath;
    return ERROR_SUCCESS;
}

LONG SimulatedDisplaySystem::displayConfigGetDeviceInfo(DISPLAYCONFIG_DEVICE_INFO_HEADER *request)
{
    record(QStringLiteral("DisplayConfigGetDeviceInfo(%1, %2, %3)")
               .arg(request->type)
               .arg(request->size)
               .arg(request->id, 0, 16));
    const bool ourAdapter = request->adapterId.LowPart == adapter.LowPart
        && request->adapterId.HighPart == adapter.HighPart;
    if (!ourAdapter)
        return ERROR_INVALID_PARAMETER;

    if (request->type == DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME
        && request->size == sizeof(DISPLAYCONFIG_SOURCE_DEVICE_NAME)
        && pathOwners().contains(int(request->id))) {
        const DisplayMonitor &monitor = m_displayMonitors.at(int(request->id));
        if (fails(DisplayCall::SourceName, int(request->id)))
            return ERROR_INVALID_PARAMETER;
        auto *sourceName = reinterpret_cast<DISPLAYCONFIG_SOURCE_DEVICE_NAME *>(request);
        copyWide(monitor.gdiDeviceName, sourceName->viewGdiDeviceName);
        return ERROR_SUCCESS;
    }
    const int owner = int(request->id - firstTargetId);
    if (request->type == DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME
        && request->size == sizeof(DISPLAYCONFIG_TARGET_DEVICE_NAME) && request->id >= firstTargetId
        && pathOwners().contains(owner)) {
        const DisplayMonitor &monitor = m_displayMonitors.at(owner);
        if (fails(DisplayCall::TargetName, owner))
            return ERROR_INVALID_PARAMETER;
        auto *targetName = reinterpret_cast<DISPLAYCONFIG_TARGET_DEVICE_NAME *>(request);
        copyWide(monitor.friendlyName, targetName->monitorFriendlyDeviceName);
        copyWide(monitor.devicePath, targetName->monitorDevicePath);
        return ERROR_SUCCESS;
    }
    return ERROR_INVALID_PARAMETER;
}

// The Setup API may write a path in another case than the display
// configuration does; Wine lists it in small letters.
QList<Win32Platform::MonitorDevice> SimulatedDisplaySystem::monitorDevices() const
{
    QList<MonitorDevice> devices;
    for (const DisplayMonitor &monitor : m_displayMonitors) {
        if (monitor.attached)
            devices.append({monitor.devicePath.toLower(), monitor.edid});
    }
    return devices;
}

BOOL SimulatedDisplaySystem::getNumberOfPhysicalMonitors(HMONITOR monitor, LPDWORD count)
{
    record(QStringLiteral("GetNumberOfPhysicalMonitorsFromHMONITOR(%1)").arg(handleName(monitor)));
    const int position = displayPosition(monitor);
    if (position < 0 || fails(DisplayCall::PhysicalMonitors, position))
        return fail();
    *count = DWORD(m_displayMonitors.at(position).physicalMonitors.size());
    return TRUE;
}

BOOL SimulatedDisplaySystem::getPhysicalMonitors(HMONITOR monitor, DWORD count,
                                                 LPPHYSICAL_MONITOR physicalMonitors)
{
    record(QStringLiteral("GetPhysicalMonitorsFromHMONITOR(%1, %2)")
               .arg(handleName(monitor))
               .arg(count));
    const int position = displayPosition(monitor);
    if (position < 0 || fails(DisplayCall::PhysicalMonitors, position)
        || count != DWORD(m_displayMonitors.at(position).physicalMonitors.size()))
        return fail();
    const int attachment = m_displayMonitors.at(position).attachment;
    for (DWORD i = 0; i < count; ++i) {
        // Windows may hand out 0 as a valid handle, as any other, while no
        // physical monitor open holds it.
        const bool zero = i == 0 && m_handleZeroOwner == position && !m_openHandles.count(nullptr);
        const auto handle = zero ? nullptr : reinterpret_cast<HANDLE>(++m_lastPhysicalHandle);
        physicalMonitors[i].hPhysicalMonitor = handle;
        copyWide(m_displayMonitors.at(position).physicalMonitors.at(int(i)).description,
                 physicalMonitors[i].szPhysicalMonitorDescription);
        m_openHandles[handle] = {position, int(i), attachment, m_displayMode};
    }
    return TRUE;
}

BOOL SimulatedDisplaySystem::destroyPhysicalMonitor(HANDLE physicalMonitor)
{
    record(QStringLiteral("DestroyPhysicalMonitor(%1)").arg(handleName(physicalMonitor)));
    return m_openHandles.erase(physicalMonitor) ? TRUE : fail();
}

SimulatedDisplaySystem::PhysicalMonitor *
SimulatedDisplaySystem::physicalMonitorBehind(HANDLE physicalMonitor)
{
    const auto found = m_openHandles.find(physicalMonitor);
    if (found == m_openHandles.end())
        return nullptr;
    const PhysicalMonitorId &id = found->second;
    DisplayMonitor &display = m_displayMonitors[id.displayMonitor];
    if (!display.attached || display.attachment != id.attachment || id.displayMode != m_displayMode)
        return nullptr;
    return &display.physicalMonitors[id.physicalMonitor];
}

DWORD SimulatedDisplaySystem::unreachable(HANDLE physicalMonitor) const
{
    const auto found = m_openHandles.find(physicalMonitor);
    return found != m_openHandles.end() && found->second.displayMode != m_displayMode
        ? DWORD(ERROR_GRAPHICS_MONITOR_NO_LONGER_EXISTS)
        : DWORD(ERROR_GEN_FAILURE);
}

SimulatedDisplaySystem::ControlState *
SimulatedDisplaySystem::controlBehind(HANDLE physicalMonitor, std::optional<MonitorControl> control)
{
    PhysicalMonitor *monitor = physicalMonitorBehind(physicalMonitor);
    return monitor && control ? &monitor->controls[std::size_t(*control)] : nullptr;
}

// Windows reads them from the monitor over DDC/CI: one that answers nothing
// gives none.
BOOL SimulatedDisplaySystem::getMonitorCapabilities(HANDLE physicalMonitor, LPDWORD capabilities,
                                                    LPDWORD colourTemperatures)
{
    record(QStringLiteral("GetMonitorCapabilities(%1)").arg(handleName(physicalMonitor)));
    const PhysicalMonitor *monitor = physicalMonitorBehind(physicalMonitor);
    if (!monitor)
        return fail(unreachable(physicalMonitor));
    answerDelay(Transfer::Read);
    if (!monitor->capabilities
        || std::all_of(monitor->controls.cbegin(), monitor->controls.cend(),
                       [](const ControlState &control) { return control.neverAnswers; }))
        return fail();
    *capabilities = *monitor->capabilities;
    *colourTemperatures = 0;
    return TRUE;
}

BOOL SimulatedDisplaySystem::readControl(const QString &function, HANDLE physicalMonitor,
                                         const QString &colourType,
                                         std::optional<MonitorControl> control, LPDWORD minimum,
                                         LPDWORD current, LPDWORD maximum)
{
    record(QStringLiteral("%1(%2%3)").arg(function, handleName(physicalMonitor), colourType));
    ControlState *state = controlBehind(physicalMonitor, control);
    if (!state)
        return fail(unreachable(physicalMonitor));
    answerDelay(Transfer::Read);
    if (state->neverAnswers)
        return fail();
    if (state->failingReads > 0) {
        --state->failingReads;
        return fail();
    }
    if (state->unsupported)
        return fail(vcpNotSupported);
    *minimum = state->minimum;
    *current = state->current;
    *maximum = state->maximum;
    return TRUE;
}

BOOL SimulatedDisplaySystem::writeControl(const QString &function, HANDLE physicalMonitor,
                                          const QString &colourType,
                                          std::optional<MonitorControl> control, DWORD value)
{
    record(QStringLiteral("%1(%2%3, %4)")
               .arg(function, handleName(physicalMonitor), colourType)
               .arg(value));
    ControlState *state = controlBehind(physicalMonitor, control);
    if (!state)
        return fail(unreachable(physicalMonitor));
    answerDelay(Transfer::Write);
    if (state->refusesWrites)
        return fail();
    if (state->droppedWrites > 0) {
        --state->droppedWrites;
        return fail(DWORD(ERROR_GRAPHICS_I2C_ERROR_TRANSMITTING_DATA));
    }
    state->current = value;
    return TRUE;
}

BOOL SimulatedDisplaySystem::getMonitorBrightness(HANDLE physicalMonitor, LPDWORD minimum,
                                                  LPDWORD current, LPDWORD maximum)
{
    return readControl(QStringLiteral("GetMonitorBrightness"), physicalMonitor, {},
                       MonitorControl::Brightness, minimum, current, maximum);
}

BOOL SimulatedDisplaySystem::getMonitorContrast(HANDLE physicalMonitor, LPDWORD minimum,
                                                LPDWORD current, LPDWORD maximum)
{
    return readControl(QStringLiteral("GetMonitorContrast"), physicalMonitor, {},
                       MonitorControl::Contrast, minimum, current, maximum);
}

BOOL SimulatedDisplaySystem::getMonitorRedGreenOrBlueDrive(HANDLE physicalMonitor,
                                                           MC_DRIVE_TYPE type, LPDWORD minimum,
                                                           LPDWORD current, LPDWORD maximum)
{
    return readControl(QStringLiteral("GetMonitorRedGreenOrBlueDrive"), physicalMonitor,
                       colourArgument(type), driveControl(type), minimum, current, maximum);
}

BOOL SimulatedDisplaySystem::getMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE type,
                                                          LPDWORD minimum, LPDWORD current,
                                                          LPDWORD maximum)
{
    return readControl(QStringLiteral("GetMonitorRedGreenOrBlueGain"), physicalMonitor,
                       colourArgument(type), gainControl(type), minimum, current, maximum);
}

BOOL SimulatedDisplaySystem::setMonitorBrightness(HANDLE physicalMonitor, DWORD value)
{
    return writeControl(QStringLiteral("SetMonitorBrightness"), physicalMonitor, {},
                        MonitorControl::Brightness, value);
}

BOOL SimulatedDisplaySystem::setMonitorContrast(HANDLE physicalMonitor, DWORD value)
{
    return writeControl(QStringLiteral("SetMonitorContrast"), physicalMonitor, {},
                        MonitorControl::Contrast, value);
}

BOOL SimulatedDisplaySystem::setMonitorRedGreenOrBlueDrive(HANDLE physicalMonitor,
                                                           MC_DRIVE_TYPE type, DWORD value)
{
    return writeControl(QStringLiteral("SetMonitorRedGreenOrBlueDrive"), physicalMonitor,
                        colourArgument(type), driveControl(type), value);
}

BOOL SimulatedDisplaySystem::setMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE type,
                                                          DWORD value)
{
    return writeControl(QStringLiteral("SetMonitorRedGreenOrBlueGain"), physicalMonitor,
                        colourArgument(type), gainControl(type), value);
}

void SimulatedDisplaySystem::sleep(DWORD milliseconds)
{
    record(QStringLiteral("Sleep(%1)").arg(milliseconds));
    pause(milliseconds);
}

bool SimulatedDisplaySystem::fails(DisplayCall, int) const
{
    return false;
}

UINT32 SimulatedDisplaySystem::pathsHiddenFromSizeQuery()
{
    return 0;
}

void SimulatedDisplaySystem::answerDelay(Transfer transfer)
{
    const auto delay = transfer == Transfer::Read ? m_delays.read : m_delays.write;
    if (delay.count() > 0)
        std::this_thread::sleep_for(delay);
}

void SimulatedDisplaySystem::pause(DWORD milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
