#include "FakeDisplaySystem.h"

#include <utility>

namespace {

constexpr LUID adapter = {0x5a5a, 0};
constexpr UINT32 firstTargetId = 0x1000;
constexpr int modesPerPath = 2;

HMONITOR displayHandle(int position)
{
    return reinterpret_cast<HMONITOR>(quintptr(position + 1));
}

HANDLE physicalHandle(int displayMonitor, int physicalMonitor)
{
    return reinterpret_cast<HANDLE>(quintptr(displayMonitor + 1) << 16
                                    | quintptr(physicalMonitor + 1));
}

QString colourArgument(int colourType)
{
    return QStringLiteral(", %1").arg(colourType);
}

} // namespace

int FakeDisplaySystem::addDisplayMonitor(const QString &gdiDeviceName, const QString &friendlyName)
{
    DisplayMonitor monitor;
    monitor.gdiDeviceName = gdiDeviceName;
    monitor.friendlyName = friendlyName;
    m_displayMonitors.append(monitor);
    return int(m_displayMonitors.size()) - 1;
}

FakeDisplaySystem::DisplayMonitor &FakeDisplaySystem::displayMonitor(int position)
{
    return m_displayMonitors[position];
}

FakeDisplaySystem::ControlState &
FakeDisplaySystem::control(int displayMonitor, MonitorControl control, int physicalMonitor)
{
    return m_displayMonitors[displayMonitor]
        .physicalMonitors[physicalMonitor]
        .controls[std::size_t(control)];
}

void FakeDisplaySystem::growConfigurationOnce()
{
    m_hideGrowthFromNextSizeQuery = true;
}

void FakeDisplaySystem::setRecordingCalls(bool recording)
{
    m_recording = recording;
}

QStringList FakeDisplaySystem::calls() const
{
    return m_calls;
}

void FakeDisplaySystem::clearCalls()
{
    m_calls.clear();
}

int FakeDisplaySystem::openPhysicalMonitorHandles() const
{
    return int(m_openHandles.size());
}

void FakeDisplaySystem::record(const QString &call)
{
    if (m_recording)
        m_calls.append(call);
}

QString FakeDisplaySystem::handleName(HMONITOR monitor) const
{
    return QStringLiteral("display %1").arg(displayPosition(monitor));
}

QString FakeDisplaySystem::handleName(HANDLE physicalMonitor) const
{
    if (!physicalMonitor)
        return QStringLiteral("null");
    const auto value = quintptr(physicalMonitor);
    return QStringLiteral("physical %1.%2").arg((value >> 16) - 1).arg((value & 0xffff) - 1);
}

int FakeDisplaySystem::displayPosition(HMONITOR monitor) const
{
    const auto position = qsizetype(quintptr(monitor)) - 1;
    return position >= 0 && position < m_displayMonitors.size() ? int(position) : -1;
}

QList<int> FakeDisplaySystem::pathOwners() const
{
    QList<int> owners;
    for (int position = 0; position < m_displayMonitors.size(); ++position) {
        if (m_displayMonitors.at(position).hasActivePath)
            owners.append(position);
    }
    return owners;
}

BOOL FakeDisplaySystem::enumDisplayMonitors(HDC, LPCRECT, MONITORENUMPROC callback, LPARAM data)
{
    record(QStringLiteral("EnumDisplayMonitors"));
    for (int position = 0; position < m_displayMonitors.size(); ++position) {
        RECT bounds = {position * 1920, 0, (position + 1) * 1920, 1080};
        if (!callback(displayHandle(position), nullptr, &bounds, data))
            break;
    }
    return TRUE;
}

BOOL FakeDisplaySystem::getMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    record(QStringLiteral("GetMonitorInfoW(%1, %2)").arg(handleName(monitor)).arg(info->cbSize));
    const int position = displayPosition(monitor);
    if (position < 0 || m_displayMonitors.at(position).monitorInfoFails
        || info->cbSize != sizeof(MONITORINFOEXW))
        return fail();
    auto *extended = static_cast<MONITORINFOEXW *>(info);
    copyWide(m_displayMonitors.at(position).gdiDeviceName, extended->szDevice);
    return TRUE;
}

LONG FakeDisplaySystem::getDisplayConfigBufferSizes(UINT32 flags, UINT32 *pathCount,
                                                    UINT32 *modeCount)
{
    record(QStringLiteral("GetDisplayConfigBufferSizes(0x%1)").arg(flags, 0, 16));
    const UINT32 hidden = std::exchange(m_hideGrowthFromNextSizeQuery, false) ? 1 : 0;
    const auto paths = UINT32(pathOwners().size());
    *pathCount = paths > hidden ? paths - hidden : 0;
    *modeCount = *pathCount * modesPerPath;
    return ERROR_SUCCESS;
}

LONG FakeDisplaySystem::queryDisplayConfig(UINT32 flags, UINT32 *pathCount,
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
    if (topology)
        return ERROR_INVALID_PARAMETER;
    if (*pathCount < needed || *modeCount < needed * modesPerPath)
        return ERROR_INSUFFICIENT_BUFFER;
    for (UINT32 i = 0; i < needed; ++i) {
        paths[i] = {};
        paths[i].sourceInfo.adapterId = adapter;
        paths[i].sourceInfo.id = UINT32(owners.at(i));
        paths[i].targetInfo.adapterId = adapter;
        paths[i].targetInfo.id = firstTargetId + UINT32(owners.at(i));
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

LONG FakeDisplaySystem::displayConfigGetDeviceInfo(DISPLAYCONFIG_DEVICE_INFO_HEADER *request)
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
        if (monitor.sourceNameFails)
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
        if (monitor.targetNameFails)
            return ERROR_INVALID_PARAMETER;
        auto *targetName = reinterpret_cast<DISPLAYCONFIG_TARGET_DEVICE_NAME *>(request);
        copyWide(monitor.friendlyName, targetName->monitorFriendlyDeviceName);
        copyWide(monitor.devicePath, targetName->monitorDevicePath);
        return ERROR_SUCCESS;
    }
    return ERROR_INVALID_PARAMETER;
}

BOOL FakeDisplaySystem::getNumberOfPhysicalMonitors(HMONITOR monitor, LPDWORD count)
{
    record(QStringLiteral("GetNumberOfPhysicalMonitorsFromHMONITOR(%1)").arg(handleName(monitor)));
    const int position = displayPosition(monitor);
    if (position < 0 || m_displayMonitors.at(position).physicalMonitorQueryFails)
        return fail();
    *count = DWORD(m_displayMonitors.at(position).physicalMonitors.size());
    return TRUE;
}

BOOL FakeDisplaySystem::getPhysicalMonitors(HMONITOR monitor, DWORD count,
                                            LPPHYSICAL_MONITOR physicalMonitors)
{
    record(QStringLiteral("GetPhysicalMonitorsFromHMONITOR(%1, %2)")
               .arg(handleName(monitor))
               .arg(count));
    const int position = displayPosition(monitor);
    if (position < 0 || m_displayMonitors.at(position).physicalMonitorQueryFails
        || count != DWORD(m_displayMonitors.at(position).physicalMonitors.size()))
        return fail();
    for (DWORD i = 0; i < count; ++i) {
        physicalMonitors[i].hPhysicalMonitor = physicalHandle(position, int(i));
        copyWide(QStringLiteral("Generic PnP Monitor"),
                 physicalMonitors[i].szPhysicalMonitorDescription);
        m_openHandles.insert(physicalMonitors[i].hPhysicalMonitor);
    }
    return TRUE;
}

BOOL FakeDisplaySystem::destroyPhysicalMonitor(HANDLE physicalMonitor)
{
    record(QStringLiteral("DestroyPhysicalMonitor(%1)").arg(handleName(physicalMonitor)));
    return m_openHandles.erase(physicalMonitor) ? TRUE : fail();
}

FakeDisplaySystem::ControlState *
FakeDisplaySystem::controlBehind(HANDLE physicalMonitor, std::optional<MonitorControl> control)
{
    if (!control || !m_openHandles.count(physicalMonitor))
        return nullptr;
    const auto value = quintptr(physicalMonitor);
    const auto display = qsizetype(value >> 16) - 1;
    const auto physical = qsizetype(value & 0xffff) - 1;
    return &m_displayMonitors[display].physicalMonitors[physical].controls[std::size_t(*control)];
}

BOOL FakeDisplaySystem::readControl(const QString &function, HANDLE physicalMonitor,
                                    const QString &colourType,
                                    std::optional<MonitorControl> control, LPDWORD minimum,
                                    LPDWORD current, LPDWORD maximum)
{
    record(QStringLiteral("%1(%2%3)").arg(function, handleName(physicalMonitor), colourType));
    ControlState *state = controlBehind(physicalMonitor, control);
    if (!state)
        return fail();
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

BOOL FakeDisplaySystem::writeControl(const QString &function, HANDLE physicalMonitor,
                                     const QString &colourType,
                                     std::optional<MonitorControl> control, DWORD value)
{
    record(QStringLiteral("%1(%2%3, %4)")
               .arg(function, handleName(physicalMonitor), colourType)
               .arg(value));
    ControlState *state = controlBehind(physicalMonitor, control);
    if (!state)
        return fail();
    answerDelay(Transfer::Write);
    if (state->refusesWrites)
        return fail();
    state->current = value;
    return TRUE;
}

BOOL FakeDisplaySystem::getMonitorBrightness(HANDLE physicalMonitor, LPDWORD minimum,
                                             LPDWORD current, LPDWORD maximum)
{
    return readControl(QStringLiteral("GetMonitorBrightness"), physicalMonitor, {},
                       MonitorControl::Brightness, minimum, current, maximum);
}

BOOL FakeDisplaySystem::getMonitorContrast(HANDLE physicalMonitor, LPDWORD minimum, LPDWORD current,
                                           LPDWORD maximum)
{
    return readControl(QStringLiteral("GetMonitorContrast"), physicalMonitor, {},
                       MonitorControl::Contrast, minimum, current, maximum);
}

BOOL FakeDisplaySystem::getMonitorRedGreenOrBlueDrive(HANDLE physicalMonitor, MC_DRIVE_TYPE type,
                                                      LPDWORD minimum, LPDWORD current,
                                                      LPDWORD maximum)
{
    return readControl(QStringLiteral("GetMonitorRedGreenOrBlueDrive"), physicalMonitor,
                       colourArgument(type), driveControl(type), minimum, current, maximum);
}

BOOL FakeDisplaySystem::getMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE type,
                                                     LPDWORD minimum, LPDWORD current,
                                                     LPDWORD maximum)
{
    return readControl(QStringLiteral("GetMonitorRedGreenOrBlueGain"), physicalMonitor,
                       colourArgument(type), gainControl(type), minimum, current, maximum);
}

BOOL FakeDisplaySystem::setMonitorBrightness(HANDLE physicalMonitor, DWORD value)
{
    return writeControl(QStringLiteral("SetMonitorBrightness"), physicalMonitor, {},
                        MonitorControl::Brightness, value);
}

BOOL FakeDisplaySystem::setMonitorContrast(HANDLE physicalMonitor, DWORD value)
{
    return writeControl(QStringLiteral("SetMonitorContrast"), physicalMonitor, {},
                        MonitorControl::Contrast, value);
}

BOOL FakeDisplaySystem::setMonitorRedGreenOrBlueDrive(HANDLE physicalMonitor, MC_DRIVE_TYPE type,
                                                      DWORD value)
{
    return writeControl(QStringLiteral("SetMonitorRedGreenOrBlueDrive"), physicalMonitor,
                        colourArgument(type), driveControl(type), value);
}

BOOL FakeDisplaySystem::setMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE type,
                                                     DWORD value)
{
    return writeControl(QStringLiteral("SetMonitorRedGreenOrBlueGain"), physicalMonitor,
                        colourArgument(type), gainControl(type), value);
}

void FakeDisplaySystem::sleep(DWORD milliseconds)
{
    record(QStringLiteral("Sleep(%1)").arg(milliseconds));
    pause(milliseconds);
}

void FakeDisplaySystem::answerDelay(Transfer) { }

void FakeDisplaySystem::pause(DWORD) { }
