#include "DDCWinApi.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QScopedValueRollback>

#include <chrono>
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

namespace {

constexpr std::chrono::milliseconds refreshInterval{5000};
constexpr UINT32 activePathFlags = QDC_ONLY_ACTIVE_PATHS | QDC_VIRTUAL_MODE_AWARE;

// Colour types in the order the readers query them, and in the order the
// setters write them.
constexpr MC_DRIVE_TYPE driveReadOrder[] = {MC_RED_DRIVE, MC_BLUE_DRIVE, MC_GREEN_DRIVE};
constexpr MC_GAIN_TYPE gainReadOrder[] = {MC_RED_GAIN, MC_BLUE_GAIN, MC_GREEN_GAIN};
constexpr MC_DRIVE_TYPE driveWriteOrder[] = {MC_RED_DRIVE, MC_GREEN_DRIVE, MC_BLUE_DRIVE};
constexpr MC_GAIN_TYPE gainWriteOrder[] = {MC_RED_GAIN, MC_GREEN_GAIN, MC_BLUE_GAIN};

#ifdef ERROR_GRAPHICS_DDCCI_VCP_NOT_SUPPORTED
// The SDK types it as an HRESULT; GetLastError answers a DWORD.
constexpr DWORD vcpNotSupported = DWORD(ERROR_GRAPHICS_DDCCI_VCP_NOT_SUPPORTED);
#else
// mingw-w64's headers lack it.
constexpr DWORD vcpNotSupported = 0xC0262584;
#endif

// The channels of a colour control by colour type: red 0, green 1, blue 2.
using Channel = DDCValue (DDCRgbValue::*)() const;
using SetChannel = void (DDCRgbValue::*)(const DDCValue &);
constexpr Channel channelOf[] = {&DDCRgbValue::red, &DDCRgbValue::green, &DDCRgbValue::blue};
constexpr SetChannel setChannelOf[] = {&DDCRgbValue::setRed, &DDCRgbValue::setGreen,
                                       &DDCRgbValue::setBlue};

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

// The first physical monitor behind a display monitor drives it; the handles
// of any others are not kept, so they are released at once.
HANDLE firstPhysicalMonitor(HMONITOR monitor)
{
    DWORD count = 0;
    if (!GetNumberOfPhysicalMonitorsFromHMONITOR(monitor, &count) || count < 1)
        return nullptr;
    std::vector<PHYSICAL_MONITOR> physicalMonitors(count);
    if (!GetPhysicalMonitorsFromHMONITOR(monitor, count, physicalMonitors.data()))
        return nullptr;
    if (count > 1)
        DestroyPhysicalMonitors(count - 1, physicalMonitors.data() + 1);
    return physicalMonitors.front().hPhysicalMonitor;
}

QString colourName(int colourType)
{
    switch (colourType) {
    case 0:
        return DDCWinApi::tr("Red");
    case 1:
        return DDCWinApi::tr("Green");
    case 2:
        return DDCWinApi::tr("Blue");
    }
    Q_UNREACHABLE();
    return {};
}

// An entry holds the range 0..0 until its monitor first answers.
bool lacksRange(const DDCValue &value)
{
    return value.minimum() == 0 && value.maximum() == 0;
}

// Whether a reading tells more than the entry holds: another value, or the
// first range of an entry whose monitor did not answer before.
bool isNews(const DDCValue &reading, const DDCValue &stored)
{
    return reading != stored || (lacksRange(stored) && !lacksRange(reading));
}

} // namespace

DDCWinApi::DDCWinApi() : m_readPolicy([](int milliseconds) { Sleep(DWORD(milliseconds)); }) { }

DDCWinApi::~DDCWinApi()
{
    for (const MonitorData &monitor : std::as_const(m_monitors)) {
        if (monitor.physicalMonitor)
            DestroyPhysicalMonitor(monitor.physicalMonitor);
    }
}

DDCWinApi *DDCWinApi::instance()
{
    static DDCWinApi backend;
    return &backend;
}

void DDCWinApi::init()
{
    EnumDisplayMonitors(nullptr, nullptr, monitorEnumProc, reinterpret_cast<LPARAM>(&m_monitors));
    m_writeCounts.resize(m_monitors.size());
    m_readPolicy.beginPass(m_monitors.size());
    readBrightness();
    readContrast();
    readRgbDrive();
    readRgbGain();
    connect(&m_timer, &QTimer::timeout, this, &DDCWinApi::refresh);
    m_timer.start(refreshInterval);
    m_initialized = true;
}

uint DDCWinApi::monitorCount()
{
    Q_ASSERT(m_initialized);
    return uint(m_monitors.size());
}

QString DDCWinApi::monitorName(uint index)
{
    Q_ASSERT(m_initialized);
    return m_monitors.at(index).displayName;
}

// Windows' device path names the monitor's device ("\\?\DISPLAY#...") and
// carries no serial number; the stand-in for Windows on Linux puts the EDID's
// serial number there, as Qt shows it.
QList<MonitorIdentity> DDCWinApi::monitorIdentities() const
{
    const QString windowsPathPrefix = QStringLiteral("\\\\?\\");
    QList<MonitorIdentity> identities;
    for (const MonitorData &monitor : m_monitors) {
        const bool named = monitor.displayName != monitor.gdiDeviceName;
        const bool serial = !monitor.devicePath.startsWith(windowsPathPrefix);
        identities.append({monitor.gdiDeviceName, named ? monitor.displayName : QString(),
                           serial ? monitor.devicePath : QString()});
    }
    return identities;
}

BOOL CALLBACK DDCWinApi::monitorEnumProc(HMONITOR hMonitor, HDC, LPRECT, LPARAM applicationValue)
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
        }
    }
    if (data.displayName.isEmpty())
        data.displayName = data.gdiDeviceName;

    data.physicalMonitor = firstPhysicalMonitor(hMonitor);
    monitors->append(data);
    return TRUE;
}

bool DDCWinApi::fillPathInfo(const MONITORINFOEXW &info, DISPLAYCONFIG_PATH_INFO &pathInfo)
{
    std::vector<DISPLAYCONFIG_PATH_INFO> paths;
    std::vector<DISPLAYCONFIG_MODE_INFO> modes;
    LONG result = ERROR_SUCCESS;
    do {
        UINT32 pathCount = 0;
        UINT32 modeCount = 0;
        if (GetDisplayConfigBufferSizes(activePathFlags, &pathCount, &modeCount) != ERROR_SUCCESS)
            return false;
        paths.resize(pathCount);
        modes.resize(modeCount);
        result = QueryDisplayConfig(activePathFlags, &pathCount, paths.data(), &modeCount,
                                    modes.data(), nullptr);
        paths.resize(pathCount);
        modes.resize(modeCount);
    } while (result == ERROR_INSUFFICIENT_BUFFER);
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

DDCValue DDCWinApi::Reading::named(const QString &name) const
{
    return DDCValue(name, minimum, maximum, current);
}

bool DDCWinApi::isMonitorIndex(uint index) const
{
    return index < uint(m_monitors.size());
}

quint64 &DDCWinApi::writeCount(uint index, int entry)
{
    return m_writeCounts[index][std::size_t(entry)];
}

// One read under the read policy; `read` takes the addresses of minimum,
// current and maximum. The error is asked for at once, as events may make
// calls of their own. During a refresh, events are processed after every
// attempt, so that the window never waits longer than one attempt and its
// pause.
template <typename Read>
std::optional<DDCWinApi::Reading> DDCWinApi::readUnderPolicy(uint index, Read read)
{
    using Outcome = DDCReadPolicy::Outcome;
    Reading reading;
    const auto attempt = [&] {
        Outcome outcome = Outcome::Answered;
        if (!read(&reading.minimum, &reading.current, &reading.maximum))
            outcome = GetLastError() == vcpNotSupported ? Outcome::Unsupported : Outcome::Failed;
        if (m_refreshing)
            QCoreApplication::processEvents();
        return outcome;
    };
    if (m_readPolicy.read(index, attempt) != Outcome::Answered)
        return std::nullopt;
    return reading;
}

std::optional<DDCWinApi::Reading> DDCWinApi::readLevel(uint index, ReadLevel read)
{
    const HANDLE monitor = m_monitors.at(index).physicalMonitor;
    return readUnderPolicy(index, [&](auto... values) { return read(monitor, values...); });
}

void DDCWinApi::appendLevels(QList<DDCValue> &list, const QString &name, ReadLevel read)
{
    for (uint index = 0; index < uint(m_monitors.size()); ++index) {
        const std::optional<Reading> reading = readLevel(index, read);
        list.append(reading ? reading->named(name) : DDCValue(name, 0, 0, 0));
    }
}

void DDCWinApi::readBrightness()
{
    appendLevels(m_brightness, tr("Brightness"), GetMonitorBrightness);
}

void DDCWinApi::readContrast()
{
    appendLevels(m_contrast, tr("Contrast"), GetMonitorContrast);
}

uint DDCWinApi::currentLevel(uint index, ReadLevel read)
{
    Q_ASSERT(m_initialized);
    const std::optional<Reading> reading = readLevel(index, read);
    return reading ? reading->current : 0;
}

uint DDCWinApi::getBrightness(uint index)
{
    return currentLevel(index, GetMonitorBrightness);
}

uint DDCWinApi::getContrast(uint index)
{
    return currentLevel(index, GetMonitorContrast);
}

template <typename ColourType>
std::optional<DDCWinApi::Reading> DDCWinApi::readChannel(uint index, ReadColour<ColourType> read,
                                                         ColourType type)
{
    const HANDLE monitor = m_monitors.at(index).physicalMonitor;
    return readUnderPolicy(index, [&](auto... values) { return read(monitor, type, values...); });
}

template <typename ColourType>
DDCRgbValue DDCWinApi::readColour(uint index, const QString &name, ReadColour<ColourType> read,
                                  const ColourType (&readOrder)[3])
{
    DDCValue channels[3];
    for (const ColourType type : readOrder) {
        if (const std::optional<Reading> reading = readChannel(index, read, type))
            channels[type] = reading->named(colourName(type));
    }
    return DDCRgbValue(name, channels[0], channels[1], channels[2]);
}

void DDCWinApi::readRgbDrive()
{
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        m_rgbDrive.append(getRgbDrive(index));
}

void DDCWinApi::readRgbGain()
{
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        m_rgbGain.append(getRgbGain(index));
}

DDCRgbValue DDCWinApi::getRgbDrive(uint index)
{
    return readColour(index, tr("RGB Drive"), GetMonitorRedGreenOrBlueDrive, driveReadOrder);
}

DDCRgbValue DDCWinApi::getRgbGain(uint index)
{
    return readColour(index, tr("RGB Gain"), GetMonitorRedGreenOrBlueGain, gainReadOrder);
}

// The events processed during a refresh may hold another one: the timer's,
// when a refresh was called directly. The one under way reads everything.
void DDCWinApi::refresh()
{
    if (m_refreshing)
        return;
    const QScopedValueRollback<bool> refreshing(m_refreshing, true);
    m_readPolicy.beginPass(m_monitors.size());
    for (uint index = 0; index < uint(m_monitors.size()); ++index) {
        refreshLevel(index, GetMonitorBrightness, m_brightness, &DDCApi::brightnessChanged,
                     BrightnessEntry);
        refreshLevel(index, GetMonitorContrast, m_contrast, &DDCApi::contrastChanged,
                     ContrastEntry);
        refreshColour(index, GetMonitorRedGreenOrBlueDrive, driveReadOrder, m_rgbDrive,
                      &DDCApi::rgbDriveChanged, RgbDriveEntries);
        refreshColour(index, GetMonitorRedGreenOrBlueGain, gainReadOrder, m_rgbGain,
                      &DDCApi::rgbGainChanged, RgbGainEntries);
    }
}

// A monitor that gave no reading leaves the entry as published. A setter may
// run while events are processed during the read: a reading taken before its
// write completed is older than what the monitor now holds, and is dropped.
void DDCWinApi::refreshLevel(uint index, ReadLevel read, QList<DDCValue> &list,
                             ChangeSignal changed, Entry entry)
{
    const quint64 writesBefore = writeCount(index, entry);
    const std::optional<Reading> reading = readLevel(index, read);
    if (!reading || writeCount(index, entry) != writesBefore)
        return;
    const DDCValue fresh = reading->named(list.at(index).name());
    if (!isNews(fresh, list.at(index)))
        return;
    DDCValue &value = list[index];
    if (lacksRange(value)) {
        value.setMinimum(fresh.minimum());
        value.setMaximum(fresh.maximum());
    }
    value.setValue(fresh.value());
    emit(this->*changed)();
}

// The channels are published together, once all three were read, so that the
// window holds the control as published while the others are read.
template <typename ColourType>
void DDCWinApi::refreshColour(uint index, ReadColour<ColourType> read,
                              const ColourType (&readOrder)[3], QList<DDCRgbValue> &list,
                              ChangeSignal changed, Entry firstEntry)
{
    quint64 writesBefore[3] = {};
    std::optional<Reading> readings[3];
    for (const ColourType type : readOrder) {
        writesBefore[type] = writeCount(index, int(firstEntry) + type);
        readings[type] = readChannel(index, read, type);
    }
    const DDCRgbValue stored = list.at(index);
    DDCValue channels[3];
    bool isChanged = false;
    for (int type = 0; type < 3; ++type) {
        channels[type] = (stored.*channelOf[type])();
        if (!readings[type] || writeCount(index, int(firstEntry) + type) != writesBefore[type])
            continue;
        const DDCValue reading = readings[type]->named(colourName(type));
        if (!isNews(reading, channels[type]))
            continue;
        channels[type] = reading;
        isChanged = true;
    }
    if (!isChanged)
        return;
    list[index] = DDCRgbValue(stored.name(), channels[0], channels[1], channels[2]);
    emit(this->*changed)();
}

void DDCWinApi::setBrightness(uint index, uint value)
{
    writeLevel(index, value, SetMonitorBrightness, m_brightness, &DDCApi::brightnessChanged,
               BrightnessEntry);
}

void DDCWinApi::setContrast(uint index, uint value)
{
    writeLevel(index, value, SetMonitorContrast, m_contrast, &DDCApi::contrastChanged,
               ContrastEntry);
}

// An empty selection reaches the setters as index 4294967295: not a monitor,
// so nothing is written.
void DDCWinApi::writeLevel(uint index, uint value, WriteLevel write, QList<DDCValue> &list,
                           ChangeSignal changed, Entry entry)
{
    if (!isMonitorIndex(index) || !write(m_monitors.at(index).physicalMonitor, value))
        return;
    ++writeCount(index, entry);
    list[index].setValue(value);
    emit(this->*changed)();
}

void DDCWinApi::setRgbDrive(uint index, const DDCRgbValue &value)
{
    writeColour(index, value, SetMonitorRedGreenOrBlueDrive, driveWriteOrder, m_rgbDrive,
                &DDCApi::rgbDriveChanged, RgbDriveEntries);
}

void DDCWinApi::setRgbGain(uint index, const DDCRgbValue &value)
{
    writeColour(index, value, SetMonitorRedGreenOrBlueGain, gainWriteOrder, m_rgbGain,
                &DDCApi::rgbGainChanged, RgbGainEntries);
}

template <typename ColourType>
void DDCWinApi::writeColour(uint index, const DDCRgbValue &value, WriteColour<ColourType> write,
                            const ColourType (&writeOrder)[3], QList<DDCRgbValue> &list,
                            ChangeSignal changed, Entry firstEntry)
{
    if (!isMonitorIndex(index))
        return;
    for (const ColourType type : writeOrder) {
        const DDCValue requested = (value.*channelOf[type])();
        if ((list.at(index).*channelOf[type])() == requested
            || !write(m_monitors.at(index).physicalMonitor, type, requested.value()))
            continue;
        ++writeCount(index, int(firstEntry) + type);
        (list[index].*setChannelOf[type])(requested);
        emit(this->*changed)();
    }
}
