#include "Win32Platform.h"

#include <cstring>
#include <utility>

namespace {

Win32Platform *installedPlatform = nullptr;

// The device setup class of monitors, which Windows gives their devices.
constexpr GUID monitorSetupClass = {
    0x4d36e96e, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

bool sameGuid(const GUID &left, const GUID &right)
{
    return std::memcmp(&left, &right, sizeof(GUID)) == 0;
}

} // namespace

Win32Platform::~Win32Platform() = default;

BOOL Win32Platform::getMonitorCapabilities(HANDLE, LPDWORD, LPDWORD)
{
    return fail(ERROR_NOT_SUPPORTED);
}

QStringList Win32Platform::advice() const
{
    return {};
}

bool Win32Platform::isKnownSilent(HANDLE)
{
    return false;
}

bool Win32Platform::displaysChanged()
{
    return false;
}

NoMonitorReason Win32Platform::noMonitorReason() const
{
    return NoMonitorReason::Unexplained;
}

std::function<void()> Win32Platform::setWhileWaiting(std::function<void()> work)
{
    return std::exchange(m_whileWaiting, std::move(work));
}

const std::function<void()> &Win32Platform::whileWaiting() const
{
    return m_whileWaiting;
}

DWORD Win32Platform::lastError() const
{
    return m_lastError;
}

BOOL Win32Platform::fail(DWORD error)
{
    m_lastError = error;
    return FALSE;
}

Win32Platform &Win32Platform::current()
{
    return installedPlatform ? *installedPlatform : builtInWin32Platform();
}

void Win32Platform::install(Win32Platform *platform)
{
    installedPlatform = platform;
}

const Win32Platform::MonitorDevice *Win32Platform::deviceAt(HDEVINFO set, ULONG_PTR index) const
{
    const auto found = m_deviceInfoSets.find(set);
    return found != m_deviceInfoSets.end() && index >= 1 && index <= ULONG_PTR(found->second.size())
        ? &found->second.at(qsizetype(index - 1))
        : nullptr;
}

// A set of another class, or of device classes rather than interfaces, holds
// no monitor interface.
HDEVINFO Win32Platform::setupDiGetClassDevs(const GUID *classGuid, PCWSTR enumerator, HWND,
                                            DWORD flags)
{
    const auto set = reinterpret_cast<HDEVINFO>(++m_lastDeviceHandle);
    const bool monitors = classGuid && !enumerator
        && sameGuid(*classGuid, GUID_DEVINTERFACE_MONITOR) && (flags & DIGCF_DEVICEINTERFACE);
    m_deviceInfoSets[set] = monitors ? monitorDevices() : QList<MonitorDevice>();
    return set;
}

// Nothing here asks for the interfaces of one device only.
BOOL Win32Platform::setupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA deviceInfo,
                                                const GUID *interfaceClass, DWORD index,
                                                PSP_DEVICE_INTERFACE_DATA interfaceData)
{
    const auto found = m_deviceInfoSets.find(set);
    if (found == m_deviceInfoSets.end())
        return fail(ERROR_INVALID_HANDLE);
    if (deviceInfo)
        return fail(ERROR_INVALID_PARAMETER);
    if (!interfaceData || interfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA))
        return fail(ERROR_INVALID_USER_BUFFER);
    if (!interfaceClass || !sameGuid(*interfaceClass, GUID_DEVINTERFACE_MONITOR)
        || index >= DWORD(found->second.size()))
        return fail(ERROR_NO_MORE_ITEMS);
    interfaceData->InterfaceClassGuid = GUID_DEVINTERFACE_MONITOR;
    interfaceData->Flags = SPINT_ACTIVE;
    interfaceData->Reserved = index + 1;
    return TRUE;
}

// Without a buffer for the detail, only its size is told: the device is
// given with the detail.
BOOL Win32Platform::setupDiGetDeviceInterfaceDetail(HDEVINFO set,
                                                    PSP_DEVICE_INTERFACE_DATA interfaceData,
                                                    PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail,
                                                    DWORD detailSize, PDWORD requiredSize,
                                                    PSP_DEVINFO_DATA deviceInfo)
{
    if (!m_deviceInfoSets.count(set))
        return fail(ERROR_INVALID_HANDLE);
    if (!interfaceData || interfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)
        || (deviceInfo && deviceInfo->cbSize != sizeof(SP_DEVINFO_DATA)))
        return fail(ERROR_INVALID_USER_BUFFER);
    const MonitorDevice *device = deviceAt(set, interfaceData->Reserved);
    if (!device)
        return fail(ERROR_INVALID_PARAMETER);
    const QString &path = device->interfacePath;
    const auto needed = DWORD(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)
                              + std::size_t(path.size() + 1) * sizeof(WCHAR));
    if (requiredSize)
        *requiredSize = needed;
    if (!detail)
        return fail(detailSize == 0 ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_USER_BUFFER);
    if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
        return fail(ERROR_INVALID_USER_BUFFER);
    if (detailSize < needed)
        return fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(detail->DevicePath, path.utf16(), std::size_t(path.size() + 1) * sizeof(WCHAR));
    if (deviceInfo) {
        deviceInfo->ClassGuid = monitorSetupClass;
        deviceInfo->DevInst = DWORD(interfaceData->Reserved);
        deviceInfo->Reserved = interfaceData->Reserved;
    }
    return TRUE;
}

// The EDID lies in the hardware key of the device (its Device Parameters),
// not in the key of its driver.
HKEY Win32Platform::setupDiOpenDevRegKey(HDEVINFO set, PSP_DEVINFO_DATA deviceInfo, DWORD scope,
                                         DWORD, DWORD keyType, REGSAM access)
{
    const auto failed = [this](DWORD error) {
        fail(error);
        return reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE);
    };
    if (!m_deviceInfoSets.count(set))
        return failed(ERROR_INVALID_HANDLE);
    if (!deviceInfo || deviceInfo->cbSize != sizeof(SP_DEVINFO_DATA))
        return failed(ERROR_INVALID_USER_BUFFER);
    const MonitorDevice *device = deviceAt(set, deviceInfo->Reserved);
    if (!device)
        return failed(ERROR_INVALID_PARAMETER);
    if (scope != DICS_FLAG_GLOBAL)
        return failed(ERROR_INVALID_FLAGS);
    DeviceKey key;
    if (keyType == DIREG_DEV)
        key.edid = device->edid;
    key.readable = access & KEY_QUERY_VALUE;
    const auto handle = reinterpret_cast<HKEY>(++m_lastDeviceHandle);
    m_deviceKeys[handle] = key;
    return handle;
}

BOOL Win32Platform::setupDiDestroyDeviceInfoList(HDEVINFO set)
{
    return m_deviceInfoSets.erase(set) ? TRUE : fail(ERROR_INVALID_HANDLE);
}

LSTATUS Win32Platform::regQueryValueEx(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                       LPBYTE data, LPDWORD size)
{
    const auto found = m_deviceKeys.find(key);
    if (found == m_deviceKeys.end())
        return ERROR_INVALID_HANDLE;
    if (reserved || (data && !size))
        return ERROR_INVALID_PARAMETER;
    if (!found->second.readable)
        return ERROR_ACCESS_DENIED;
    const QByteArray &edid = found->second.edid;
    if (edid.isEmpty()
        || QString::fromUtf16(name).compare(QLatin1String("EDID"), Qt::CaseInsensitive) != 0)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = REG_BINARY;
    const auto length = DWORD(edid.size());
    const bool fits = !data || *size >= length;
    if (data && fits)
        std::memcpy(data, edid.constData(), length);
    if (size)
        *size = length;
    return fits ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

LSTATUS Win32Platform::regCloseKey(HKEY key)
{
    return m_deviceKeys.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

int Win32Platform::openDeviceHandles() const
{
    return int(m_deviceInfoSets.size() + m_deviceKeys.size());
}
