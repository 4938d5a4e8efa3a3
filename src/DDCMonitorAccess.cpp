#include "DDCMonitorAccess.h"

#ifndef _WIN32
#include "win32-standin/Win32Platform.h"
#endif

#include <string_view>
#include <type_traits>
#include <utility>
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

using Control = DDCMonitorAccess::Control;

constexpr UINT32 activePathFlags = QDC_ONLY_ACTIVE_PATHS | QDC_VIRTUAL_MODE_AWARE;

// GUID_DEVINTERFACE_MONITOR, which mingw-w64's headers lack.
constexpr GUID monitorInterfaceClass = {
    0xe6f07b5f, 0xee97, 0x4a90, {0xb0, 0x76, 0x33, 0xf5, 0x7b, 0xf4, 0xea, 0xa7}};
// L"EDID", whether WCHAR is wchar_t or char16_t.
constexpr WCHAR edidValueName[] = {'E', 'D', 'I', 'D', 0};

// Windows' errors of the monitor configuration, by value: mingw-w64's headers
// lack them, and the SDK types them as HRESULTs, where GetLastError answers a
// DWORD.
constexpr DWORD vcpNotSupported = 0xC0262584; // ERROR_GRAPHICS_DDCCI_VCP_NOT_SUPPORTED
constexpr DWORD invalidPhysicalMonitorHandle =
    0xC026258C; // ERROR_GRAPHICS_INVALID_PHYSICAL_MONITOR_HANDLE
constexpr DWORD monitorNoLongerExists = 0xC026258D; // ERROR_GRAPHICS_MONITOR_NO_LONGER_EXISTS
constexpr DWORD onlyConsoleSession = 0xC02625E0; // ERROR_GRAPHICS_ONLY_CONSOLE_SESSION_SUPPORTED

// The handle no longer reaches its monitor: Windows ended it, as it does when
// the display mode changes, or this session may reach no monitor. Asking
// again through it cannot help; fresh handles tell more.
bool endsHandle(DWORD error)
{
    return error == invalidPhysicalMonitorHandle || error == monitorNoLongerExists
        || error == onlyConsoleSession;
}

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

bool fillPathInfo(const MONITORINFOEXW &info, DISPLAYCONFIG_PATH_INFO &pathInfo)
{
    std::vector<DISPLAYCONFIG_PATH_INFO> paths;
    std::vector<DISPLAYCONFIG_MODE_INFO> modes;
    LONG result = queryActivePaths(activePathFlags, paths, modes);
    // Windows before 10 knows no virtual modes and refuses the flag.
    if (result == ERROR_INVALID_PARAMETER)
        result = queryActivePaths(QDC_ONLY_ACTIVE_PATHS, paths, modes);
    if (result != ERROR_SUCCESS)
        return false;

    for (const DISPLAYCONFIG_PATH_INFO &path : paths) {
        DISPLAYCONFIG_SOURCE_DEVICE_NAME adapterName = {};
        prepareDeviceInfo(adapterName, DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME,
                          path.sourceInfo.adapterId, path.sourceInfo.id);
        if (DisplayConfigGetDeviceInfo(&adapterName.header) != ERROR_SUCCESS)
            return false;
        if (sameWide(info.szDevice, adapterName.viewGdiDeviceName)) {
            pathInfo = path;
            return true;
        }
    }
    return false;
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

// The first physical monitor behind a display monitor drives it; the handles
// of any others are not kept, so they are released at once.
std::optional<HANDLE> firstPhysicalMonitor(HMONITOR monitor)
{
    DWORD count = 0;
    if (!GetNumberOfPhysicalMonitorsFromHMONITOR(monitor, &count) || count < 1)
        return std::nullopt;
    std::vector<PHYSICAL_MONITOR> physicalMonitors(count);
    if (!GetPhysicalMonitorsFromHMONITOR(monitor, count, physicalMonitors.data()))
        return std::nullopt;
    if (count > 1)
        DestroyPhysicalMonitors(count - 1, physicalMonitors.data() + 1);
    return physicalMonitors.front().hPhysicalMonitor;
}

BOOL CALLBACK monitorEnumProc(HMONITOR hMonitor, HDC, LPRECT, LPARAM applicationValue)
{
    auto *monitors = reinterpret_cast<QList<MonitorData> *>(applicationValue);
    MonitorData data;

    MONITORINFOEXW info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(hMonitor, &info))
        return FALSE;
    data.hMonitor = hMonitor;
    data.gdiDeviceName = fromWide(info.szDevice);

    DISPLAYCONFIG_PATH_INFO pathInfo = {};
    if (fillPathInfo(info, pathInfo)) {
        DISPLAYCONFIG_TARGET_DEVICE_NAME deviceName = {};
        prepareDeviceInfo(deviceName, DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME,
                          pathInfo.targetInfo.adapterId, pathInfo.targetInfo.id);
        if (DisplayConfigGetDeviceInfo(&deviceName.header) == ERROR_SUCCESS) {
            data.displayName = fromWide(deviceName.monitorFriendlyDeviceName);
            data.devicePath = fromWide(deviceName.monitorDevicePath);
            data.identity = MonitorIdentity::fromEdid(registryEdid(data.devicePath));
        }
    }
    if (data.displayName.isEmpty())
        data.displayName = data.gdiDeviceName;

    data.physicalMonitor = firstPhysicalMonitor(hMonitor);
    monitors->append(data);
    return TRUE;
}

// The capability bit that stands for each control.
DWORD capabilityOf(Control control)
{
    switch (control) {
    case Control::Brightness:
        return MC_CAPS_BRIGHTNESS;
    case Control::Contrast:
        return MC_CAPS_CONTRAST;
    case Control::RedDrive:
    case Control::GreenDrive:
    case Control::BlueDrive:
        return MC_CAPS_RED_GREEN_BLUE_DRIVE;
    case Control::RedGain:
    case Control::GreenGain:
    case Control::BlueGain:
        return MC_CAPS_RED_GREEN_BLUE_GAIN;
    case Control::ControlCount:
        break;
    }
    Q_UNREACHABLE();
    return 0;
}

BOOL readControl(HANDLE monitor, Control control, DDCMonitorAccess::Reading &reading)
{
    const auto call = [&](auto read, auto... colourType) {
        return read(monitor, colourType..., &reading.minimum, &reading.current, &reading.maximum);
    };
    switch (control) {
    case Control::Brightness:
        return call(GetMonitorBrightness);
    case Control::Contrast:
        return call(GetMonitorContrast);
    case Control::RedDrive:
    case Control::GreenDrive:
    case Control::BlueDrive:
        return call(GetMonitorRedGreenOrBlueDrive, MC_DRIVE_TYPE(control - Control::RedDrive));
    case Control::RedGain:
    case Control::GreenGain:
    case Control::BlueGain:
        return call(GetMonitorRedGreenOrBlueGain, MC_GAIN_TYPE(control - Control::RedGain));
    case Control::ControlCount:
        break;
    }
    Q_UNREACHABLE();
    return FALSE;
}

BOOL writeControl(HANDLE monitor, Control control, DWORD value)
{
    switch (control) {
    case Control::Brightness:
        return SetMonitorBrightness(monitor, value);
    case Control::Contrast:
        return SetMonitorContrast(monitor, value);
    case Control::RedDrive:
    case Control::GreenDrive:
    case Control::BlueDrive:
        return SetMonitorRedGreenOrBlueDrive(monitor, MC_DRIVE_TYPE(control - Control::RedDrive),
                                             value);
    case Control::RedGain:
    case Control::GreenGain:
    case Control::BlueGain:
        return SetMonitorRedGreenOrBlueGain(monitor, MC_GAIN_TYPE(control - Control::RedGain),
                                            value);
    case Control::ControlCount:
        break;
    }
    Q_UNREACHABLE();
    return FALSE;
}

// What a reading that Windows gave says. One of a maximum of 0 is how many
// monitors say they lack the control (DDC/CI lets them answer with four value
// bytes of 0). A garbled reply may still pass as a reading: one whose current
// value lies above its maximum cannot be the monitor's. Published, it would
// show a false value, and a change such as -5 computed from it could set full
// brightness; it fails its attempt, as a lost message does.
DDCReadPolicy::Outcome judge(const DDCMonitorAccess::Reading &reading)
{
    if (reading.maximum == 0)
        return DDCReadPolicy::Outcome::Unsupported;
    return reading.current <= reading.maximum ? DDCReadPolicy::Outcome::Answered
                                              : DDCReadPolicy::Outcome::Failed;
}

void releaseHandles(const QList<MonitorData> &monitors)
{
    for (const MonitorData &monitor : monitors) {
        if (monitor.physicalMonitor)
            DestroyPhysicalMonitor(*monitor.physicalMonitor);
    }
}

// For each monitor found, the index of the same monitor among those known, or
// -1; each known monitor is matched at most once, the first time.
QList<qsizetype> matchKnown(const QList<MonitorData> &known, const QList<MonitorData> &found)
{
    QStringList knownKeys;
    for (const MonitorData &monitor : known)
        knownKeys.append(DDCMonitorAccess::identityKey(monitor));
    QList<qsizetype> previousIndexOf;
    for (const MonitorData &monitor : found) {
        const qsizetype previous = knownKeys.indexOf(DDCMonitorAccess::identityKey(monitor));
        if (previous >= 0)
            knownKeys[previous].clear();
        previousIndexOf.append(previous);
    }
    return previousIndexOf;
}

// Windows does not tell; the display systems that stand in for it may.
bool isKnownSilent(HANDLE physicalMonitor)
{
#ifdef _WIN32
    Q_UNUSED(physicalMonitor);
    return false;
#else
    return Win32Platform::current().isKnownSilent(physicalMonitor);
#endif
}

// While it lives, a display system that waits for its monitor in pieces (the
// Linux layer, for a quiet bus) runs `work` meanwhile. Windows waits in one.
class WorkWhileWaiting
{
public:
    explicit WorkWhileWaiting(const std::function<void()> &work)
    {
#ifdef _WIN32
        Q_UNUSED(work);
#else
        m_before = Win32Platform::current().setWhileWaiting(work);
#endif
    }
    ~WorkWhileWaiting()
    {
#ifndef _WIN32
        Win32Platform::current().setWhileWaiting(m_before);
#endif
    }
    Q_DISABLE_COPY(WorkWhileWaiting)

private:
    std::function<void()> m_before;
};

} // namespace

bool DDCMonitorAccess::Reading::answered() const
{
    return outcome == DDCReadPolicy::Outcome::Answered;
}

DDCMonitorAccess::DDCMonitorAccess(QList<MonitorData> &monitors, std::function<void()> afterAttempt,
                                   std::function<void()> handleEnded)
    : m_monitors(monitors),
      m_afterAttempt(std::move(afterAttempt)),
      m_handleEnded(std::move(handleEnded)),
      m_readPolicy([](int milliseconds) { Sleep(DWORD(milliseconds)); })
{ }

DDCMonitorAccess::~DDCMonitorAccess()
{
    releaseHandles(m_monitors);
}

// A monitor that the platform already found silent spends no retries on its
// first reads.
QList<MonitorData> DDCMonitorAccess::enumerate()
{
    QList<MonitorData> found;
    EnumDisplayMonitors(nullptr, nullptr, monitorEnumProc, reinterpret_cast<LPARAM>(&found));
    for (MonitorData &monitor : found) {
        if (monitor.physicalMonitor && isKnownSilent(*monitor.physicalMonitor))
            monitor.state.standing = DDCReadPolicy::Standing::Silent;
    }
    return found;
}

void DDCMonitorAccess::discover()
{
    m_monitors.append(enumerate());
}

QList<qsizetype> DDCMonitorAccess::rediscover()
{
    QList<MonitorData> found = enumerate();
    const QList<qsizetype> previousIndexOf = matchKnown(m_monitors, found);
    for (qsizetype index = 0; index < found.size(); ++index) {
        if (const qsizetype previous = previousIndexOf.at(index); previous >= 0)
            found[index].state = m_monitors.at(previous).state;
    }
    releaseHandles(m_monitors);
    m_monitors = found;
    return previousIndexOf;
}

// Without a device path, the GDI device and the friendly name are all there
// is; a device path names the device (on Linux, the connector), and the EDID
// tells apart another monitor plugged into the same port, even one of the
// same maker with a placeholder serial number.
QString DDCMonitorAccess::identityKey(const MonitorData &monitor)
{
    const QString where =
        monitor.devicePath.isEmpty() ? monitor.gdiDeviceName : monitor.devicePath.toLower();
    const QString who = monitor.identity.key.isEmpty() ? monitor.displayName : monitor.identity.key;
    return where + QLatin1Char('\n') + who;
}

#ifndef _WIN32
bool DDCMonitorAccess::displaysChanged() const
{
    return Win32Platform::current().displaysChanged();
}
#endif

void DDCMonitorAccess::beginPass(uint index)
{
    DDCReadPolicy::beginPass(m_monitors[index].state.standing);
}

void DDCMonitorAccess::beginPass()
{
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        beginPass(index);
}

// The error is asked for at once: what runs after the attempt may make calls
// of its own, such as a write to this very monitor, so its record is not held
// across the attempts. Only an answer's values are handed on.
DDCMonitorAccess::Reading DDCMonitorAccess::read(uint index, Control control)
{
    using Outcome = DDCReadPolicy::Outcome;
    const std::optional<HANDLE> monitor = m_monitors.at(index).physicalMonitor;
    Reading reading;
    // Nothing to ask: the display does not answer, and costs no attempts.
    if (!monitor)
        return reading;
    const uint bit = 1u << control;
    const DDCReadPolicy::Standing before = m_monitors.at(index).state.standing;
    const bool askingCapabilities = !m_monitors.at(index).state.capabilitiesAsked
        && before == DDCReadPolicy::Standing::Answering && !m_monitors.at(index).handleEnded;
    if (askingCapabilities)
        askCapabilities(index);
    if (m_monitors.at(index).handleEnded)
        return {Outcome::Lost};
    if (m_monitors.at(index).state.withoutCapability & bit)
        return {Outcome::Unsupported};
    const quint64 writesBefore = m_monitors.at(index).state.writes[control];
    DDCReadPolicy::Standing standing = before;
    const auto attempt = [&] {
        Outcome outcome = Outcome::Answered;
        if (!readControl(*monitor, control, reading)) {
            const DWORD error = GetLastError();
            outcome = endsHandle(error)    ? Outcome::Lost
                : error == vcpNotSupported ? Outcome::Unsupported
                                           : Outcome::Failed;
        } else {
            outcome = judge(reading);
        }
        if (m_afterAttempt)
            m_afterAttempt();
        return outcome;
    };
    const Outcome outcome = [&] {
        const WorkWhileWaiting meanwhile(m_afterAttempt);
        return m_readPolicy.read(standing, m_monitors.at(index).state.unsupportedControls & bit,
                                 attempt);
    }();
    if (outcome == Outcome::Lost) {
        endHandle(index);
        return {outcome};
    }
    MonitorState &state = m_monitors[index].state;
    takeStanding(state, standing, control);
    // One that answers but cannot give its capabilities is asked no more.
    if (askingCapabilities && outcome != Outcome::Failed)
        state.capabilitiesAsked = true;
    // A failed read tells nothing about the control.
    if (outcome == Outcome::Unsupported)
        state.unsupportedControls |= bit;
    else if (outcome == Outcome::Answered)
        state.unsupportedControls &= ~bit;
    if (outcome != Outcome::Answered)
        return {outcome};
    reading.outcome = outcome;
    if (state.writes[control] == writesBefore)
        state.readings[control] = reading;
    return reading;
}

// Windows reads a monitor's capabilities over DDC/CI; a control whose bit they
// leave out is never read. A monitor that does not answer cannot give them:
// they are asked again once it answers.
void DDCMonitorAccess::askCapabilities(uint index)
{
    DWORD capabilities = 0;
    DWORD colourTemperatures = 0;
    const bool given = GetMonitorCapabilities(*m_monitors.at(index).physicalMonitor, &capabilities,
                                              &colourTemperatures);
    const bool ended = !given && endsHandle(GetLastError());
    if (m_afterAttempt)
        m_afterAttempt();
    if (ended)
        endHandle(index);
    if (!given)
        return;
    MonitorState &state = m_monitors[index].state;
    state.capabilitiesAsked = true;
    for (int control = 0; control < ControlCount; ++control) {
        if (!(capabilities & capabilityOf(Control(control))))
            state.withoutCapability |= 1u << control;
    }
    state.unsupportedControls |= state.withoutCapability;
}

// A read that failed all its attempts makes the monitor doubtful; the read
// that ends the doubt tells whether the control that failed is unsupported
// (the monitor answered) or the monitor silent.
void DDCMonitorAccess::takeStanding(MonitorState &state, DDCReadPolicy::Standing standing,
                                    Control control)
{
    using Standing = DDCReadPolicy::Standing;
    if (standing == Standing::Doubtful) {
        if (state.standing != Standing::Doubtful)
            state.failedControl = control;
    } else {
        if (state.standing == Standing::Doubtful && standing == Standing::Answering
            && state.failedControl && *state.failedControl != control)
            state.unsupportedControls |= 1u << *state.failedControl;
        state.failedControl.reset();
    }
    state.standing = standing;
}

// One read of a control that the monitor has, and that did not just fail,
// ends the doubt.
void DDCMonitorAccess::settle(uint index)
{
    const MonitorState &state = m_monitors.at(index).state;
    if (state.standing != DDCReadPolicy::Standing::Doubtful)
        return;
    for (int control = 0; control < ControlCount; ++control) {
        if (!(state.unsupportedControls & 1u << control) && state.failedControl != control) {
            read(index, Control(control));
            return;
        }
    }
}

// A display without a physical monitor is never asked, so the read policy
// never learns that it does not answer.
bool DDCMonitorAccess::isAnswering(uint index) const
{
    const MonitorData &monitor = m_monitors.at(index);
    return monitor.physicalMonitor && DDCReadPolicy::isAnswering(monitor.state.standing);
}

DDCMonitorAccess::Write DDCMonitorAccess::write(uint index, Control control, uint value)
{
    const std::optional<HANDLE> monitor = m_monitors.at(index).physicalMonitor;
    if (m_monitors.at(index).handleEnded)
        return Write::Lost;
    if (!monitor)
        return Write::Refused;
    if (!writeControl(*monitor, control, DWORD(value))) {
        if (!endsHandle(GetLastError()))
            return Write::Refused;
        endHandle(index);
        return Write::Lost;
    }
    MonitorState &state = m_monitors[index].state;
    state.readings[control].current = DWORD(value);
    ++state.writes[control];
    return Write::Taken;
}

// Nothing more is asked through the handle, and the owner of the access is
// told, to take fresh ones.
void DDCMonitorAccess::endHandle(uint index)
{
    m_monitors[index].handleEnded = true;
    if (m_handleEnded)
        m_handleEnded();
}

void DDCMonitorAccess::renewHandles()
{
    QList<MonitorData> found = enumerate();
    const QList<qsizetype> foundIndexOf = matchKnown(found, m_monitors);
    releaseHandles(m_monitors);
    for (qsizetype index = 0; index < m_monitors.size(); ++index) {
        MonitorData &monitor = m_monitors[index];
        const qsizetype position = foundIndexOf.at(index);
        monitor.physicalMonitor = position < 0
            ? std::nullopt
            : std::exchange(found[position].physicalMonitor, std::nullopt);
        monitor.handleEnded = false;
    }
    releaseHandles(found);
}

QStringList DDCMonitorAccess::platformAdvice() const
{
#ifdef _WIN32
    return {};
#else
    return Win32Platform::current().advice();
#endif
}

// Windows lists every display monitor, even one whose DDC/CI is off.
NoMonitorReason DDCMonitorAccess::noMonitorReason() const
{
#ifdef _WIN32
    return NoMonitorReason::NoAnswer;
#else
    return Win32Platform::current().noMonitorReason();
#endif
}
