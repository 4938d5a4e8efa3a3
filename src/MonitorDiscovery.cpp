#include "MonitorDiscovery.h"

#include "DDCMonitorAccess.h"
#include "MonitorErrors.h"

#include <algorithm>
#include <string_view>
#include <type_traits>
#include <vector>

// The platform fills these by address at its own fixed sizes; a header that
// disagrees would let it write past our buffers.
static_assert(sizeof(MONITORINFOEXW) == 104);
static_assert(sizeof(DISPLAYCONFIG_PATH_INFO) == 72);
static_assert(sizeof(DISPLAYCONFIG_SOURCE_DEVICE_NAME) == 84);
static_assert(sizeof(DISPLAYCONFIG_TARGET_DEVICE_NAME) == 420);
static_assert(sizeof(PHYSICAL_MONITOR) == 264);
static_assert(sizeof(SP_DEVINFO_DATA) == 32);
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 32);
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == 8);

namespace {

constexpr UINT32 activePathFlags = QDC_ONLY_ACTIVE_PATHS | QDC_VIRTUAL_MODE_AWARE;

// GUID_DEVINTERFACE_MONITOR, which mingw-w64's headers lack.
constexpr GUID monitorInterfaceClass = {
    0xe6f07b5f, 0xee97, 0x4a90, {0xb0, 0x76, 0x33, 0xf5, 0x7b, 0xf4, 0xea, 0xa7}};
// L"EDID", whether WCHAR is wchar_t or char16_t.
constexpr WCHAR edidValueName[] = {'E', 'D', 'I', 'D', 0};

// WCHAR is wchar_t on Windows and char16_t in the stand-in layer; both are UTF-16.
template <typename Char>
QString fromWide(const Char *text)
{
    if constexpr (std::is_same_v<Char, wchar_t>)
        return QString::fromWCharArray(text);
    else
        return QString::fromUtf16(text);
}

template <typename Char>
bool sameWide(const Char *left, const Char *right)
{
    return std::basic_string_view<Char>(left) == std::basic_string_view<Char>(right);
}

template <typename Packet>
void prepareDeviceInfo(Packet &packet, DISPLAYCONFIG_DEVICE_INFO_TYPE type, const LUID &adapterId,
                       UINT32 id)
{
    packet.header.type = type;
    packet.header.size = sizeof(Packet);
    packet.header.adapterId = adapterId;
    packet.header.id = id;
}

LONG queryActivePaths(UINT32 flags, std::vector<DISPLAYCONFIG_PATH_INFO> &paths,
                      std::vector<DISPLAYCONFIG_MODE_INFO> &modes)
{
    LONG result = ERROR_SUCCESS;
    do {
        UINT32 pathCount = 0;
        UINT32 modeCount = 0;
        result = GetDisplayConfigBufferSizes(flags, &pathCount, &modeCount);
        if (result != ERROR_SUCCESS)
            return result;
        paths.resize(pathCount);
        modes.resize(modeCount);
        result =
            QueryDisplayConfig(flags, &pathCount, paths.data(), &modeCount, modes.data(), nullptr);
        paths.resize(pathCount);
        modes.resize(modeCount);
    } while (result == ERROR_INSUFFICIENT_BUFFER);
    return result;
}

// The device whose monitor interface is at `devicePath`, among the monitor
// interfaces of `devices`. Paths are compared as Windows compares them,
// without regard to case: Wine lists them in small letters. (Wine has no
// SetupDiOpenDeviceInterfaceW, which would find the interface by its path.)
// The detail of an interface, which comes with its device, is asked for
// twice: first for its size.
bool findMonitorDevice(HDEVINFO devices, const QString &devicePath, SP_DEVINFO_DATA &device)
{
    SP_DEVICE_INTERFACE_DATA monitorInterface = {};
    monitorInterface.cbSize = sizeof(monitorInterface);
    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(devices, nullptr, &monitorInterfaceClass,
                                                      index, &monitorInterface);
         ++index) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(devices, &monitorInterface, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
            continue;
        std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
        auto *detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W *>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        device.cbSize = sizeof(device);
        if (SetupDiGetDeviceInterfaceDetailW(devices, &monitorInterface, detail, size, nullptr,
                                             &device)
            && fromWide(detail->DevicePath).compare(devicePath, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// A binary value of a registry key, asked for twice: first for its size;
// empty when it is missing or of another type.
QByteArray binaryValue(HKEY key, const WCHAR *name)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS
        || type != REG_BINARY)
        return {};
    QByteArray value(qsizetype(size), Qt::Uninitialized);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(value.data()), &size)
        != ERROR_SUCCESS)
        return {};
    value.resize(qsizetype(size));
    return value;
}

// Windows keeps the EDID of every monitor it has seen in the registry, under
// the monitor's device; the device path of a display-configuration target
// names the device's monitor interface. Empty when any step fails.
QByteArray registryEdid(const QString &devicePath)
{
    const HDEVINFO devices = SetupDiGetClassDevsW(&monitorInterfaceClass, nullptr, nullptr,
                                                  DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (devices == INVALID_HANDLE_VALUE)
        return {};
    QByteArray edid;
    SP_DEVINFO_DATA device = {};
    if (findMonitorDevice(devices, devicePath, device)) {
        const HKEY key =
            SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key != INVALID_HANDLE_VALUE) {
            edid = binaryValue(key, edidValueName);
            RegCloseKey(key);
        }
    }
    SetupDiDestroyDeviceInfoList(devices);
    return edid;
}

// One active path of the display configuration: the GDI device name of its
// source (the display), and its target (where a monitor is attached).
struct ActivePath
{
    QString source;
    DISPLAYCONFIG_PATH_TARGET_INFO target;
};

struct Configuration
{
    std::vector<ActivePath> paths;
    bool denied = false;
};

// The active paths, asked for once a listing. A path whose source name cannot
// be asked costs that path only.
Configuration activeConfiguration()
{
    std::vector<DISPLAYCONFIG_PATH_INFO> paths;
    std::vector<DISPLAYCONFIG_MODE_INFO> modes;
    LONG result = queryActivePaths(activePathFlags, paths, modes);
    // Windows before 10 knows no virtual modes and refuses the flag.
    if (result == ERROR_INVALID_PARAMETER)
        result = queryActivePaths(QDC_ONLY_ACTIVE_PATHS, paths, modes);
    Configuration configuration;
    configuration.denied = result == ERROR_ACCESS_DENIED;
    if (result != ERROR_SUCCESS)
        return configuration;
    for (const DISPLAYCONFIG_PATH_INFO &path : paths) {
        DISPLAYCONFIG_SOURCE_DEVICE_NAME source = {};
        prepareDeviceInfo(source, DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME,
                          path.sourceInfo.adapterId, path.sourceInfo.id);
        if (DisplayConfigGetDeviceInfo(&source.header) == ERROR_SUCCESS)
            configuration.paths.push_back({fromWide(source.viewGdiDeviceName), path.targetInfo});
    }
    return configuration;
}

// The outputs of built-in panels (of laptops and tablets), which never speak
// DDC/CI.
bool isBuiltIn(DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY technology)
{
    return technology == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_INTERNAL
        || technology == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_DISPLAYPORT_EMBEDDED
        || technology == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_UDI_EMBEDDED
        || technology == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_LVDS;
}

// Who is attached to a target: its friendly name, its device, and what the
// EDID that Windows keeps for the device says. Nothing where the target's
// name cannot be asked.
void nameFromTarget(MonitorData &monitor, const DISPLAYCONFIG_PATH_TARGET_INFO &target)
{
    DISPLAYCONFIG_TARGET_DEVICE_NAME deviceName = {};
    prepareDeviceInfo(deviceName, DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME, target.adapterId,
                      target.id);
    if (DisplayConfigGetDeviceInfo(&deviceName.header) != ERROR_SUCCESS)
        return;
    monitor.displayName = fromWide(deviceName.monitorFriendlyDeviceName);
    monitor.devicePath = fromWide(deviceName.monitorDevicePath);
    monitor.identity = MonitorIdentity::fromEdid(registryEdid(monitor.devicePath));
}

struct PhysicalMonitors
{
    std::vector<PHYSICAL_MONITOR> monitors;
    DWORD error = ERROR_SUCCESS; // of the query that failed
};

PhysicalMonitors physicalMonitorsBehind(HMONITOR monitor)
{
    PhysicalMonitors physical;
    DWORD count = 0;
    if (!GetNumberOfPhysicalMonitorsFromHMONITOR(monitor, &count)) {
        physical.error = GetLastError();
    } else if (count > 0) {
        physical.monitors.resize(count);
        if (!GetPhysicalMonitorsFromHMONITOR(monitor, count, physical.monitors.data())) {
            physical.error = GetLastError();
            physical.monitors.clear();
        }
    }
    return physical;
}

// What one listing found.
struct Listing
{
    Configuration configuration;
    QList<MonitorData> monitors;
    QStringList advice;
    bool leftOutBuiltInPanel = false;
    bool outsideConsoleSession = false;
};

// One display of the desktop: a record for each physical monitor behind it,
// or one without a handle where it has none. A display duplicated on several
// monitors (a laptop mirrored to a projector) has a physical monitor for each,
// and several paths; Windows does not tell which monitor is at which target,
// so each is named by its own description. A display whose every target is a
// built-in panel is left out.
void addDisplay(Listing &listing, HMONITOR hMonitor)
{
    MONITORINFOEXW info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(hMonitor, &info))
        return;
    const QString gdiDeviceName = fromWide(info.szDevice);
    std::vector<DISPLAYCONFIG_PATH_TARGET_INFO> targets;
    for (const ActivePath &path : listing.configuration.paths) {
        if (path.source == gdiDeviceName)
            targets.push_back(path.target);
    }
    if (!targets.empty() && std::all_of(targets.cbegin(), targets.cend(), [](const auto &target) {
            return isBuiltIn(target.outputTechnology);
        })) {
        MonitorData panel;
        nameFromTarget(panel, targets.front());
        const QString where = panel.displayName.isEmpty()
            ? gdiDeviceName
            : QStringLiteral("%1 (%2)").arg(panel.displayName, gdiDeviceName);
        listing.advice.append(QStringLiteral("%1 is not listed: it is a built-in panel, which "
                                             "DDC/CI does not reach; Windows sets its brightness.")
                                  .arg(where));
        listing.leftOutBuiltInPanel = true;
        return;
    }
    const PhysicalMonitors physical = physicalMonitorsBehind(hMonitor);
    if (physical.error == MonitorError::onlyConsoleSession) {
        listing.outsideConsoleSession = true;
        return;
    }
    const std::size_t count = physical.monitors.size();
    const bool duplicated = count > 1 || targets.size() > 1;
    for (std::size_t position = 0; position < std::max<std::size_t>(count, 1); ++position) {
        MonitorData data;
        data.hMonitor = hMonitor;
        data.gdiDeviceName = gdiDeviceName;
        data.physicalMonitorNumber = count > 1 ? int(position) + 1 : 0;
        if (count > 0) {
            data.physicalMonitor = physical.monitors.at(position).hPhysicalMonitor;
            if (duplicated)
                data.displayName =
                    fromWide(physical.monitors.at(position).szPhysicalMonitorDescription);
        }
        if (!duplicated && targets.size() == 1)
            nameFromTarget(data, targets.front());
        if (data.displayName.isEmpty())
            data.displayName = DDCMonitorAccess::connector(data);
        listing.monitors.append(data);
    }
}

BOOL CALLBACK monitorEnumProc(HMONITOR hMonitor, HDC, LPRECT, LPARAM applicationValue)
{
    reinterpret_cast<std::vector<HMONITOR> *>(applicationValue)->push_back(hMonitor);
    return TRUE;
}

} // namespace

void MonitorDiscovery::run(QList<MonitorData> &found)
{
    // The displays first: a display system that stands in for Windows may look
    // for them anew then, and its configuration follows.
    std::vector<HMONITOR> displays;
    EnumDisplayMonitors(nullptr, nullptr, monitorEnumProc, reinterpret_cast<LPARAM>(&displays));
    Listing listing;
    listing.configuration = activeConfiguration();
    for (const HMONITOR display : displays)
        addDisplay(listing, display);
    found.append(listing.monitors);
    m_advice = listing.advice;
    m_leftOutBuiltInPanel = listing.leftOutBuiltInPanel;
    m_outsideConsoleSession = listing.outsideConsoleSession;
    m_configurationDenied = listing.configuration.denied;
    if (m_outsideConsoleSession) {
        m_advice.append(QStringLiteral("The monitors are not listed: Windows lets only the "
                                       "session at the computer itself reach them over DDC/CI, "
                                       "and Varno runs in a remote one."));
    }
    if (m_configurationDenied) {
        m_advice.append(QStringLiteral("Windows keeps the display configuration to itself while "
                                       "the session is locked or remote: a monitor new to Varno "
                                       "is listed by its display."));
    }
}

QStringList MonitorDiscovery::advice() const
{
    return m_advice;
}

bool MonitorDiscovery::leftOutBuiltInPanel() const
{
    return m_leftOutBuiltInPanel;
}

bool MonitorDiscovery::outsideConsoleSession() const
{
    return m_outsideConsoleSession;
}

bool MonitorDiscovery::configurationDenied() const
{
    return m_configurationDenied;
}
