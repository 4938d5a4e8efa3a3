#pragma once

#include "NoMonitorReason.h"
#include "win32shim.h"

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>

// What answers the Windows calls of win32shim.h on a system without Windows.
// The backend's code is the same on every system; only the implementation
// behind these operations changes: a monitor simulation, a scriptable fake for
// tests, or real hardware.
class Win32Platform
{
public:
    virtual ~Win32Platform();

    virtual BOOL enumDisplayMonitors(HDC hdc, LPCRECT clip, MONITORENUMPROC callback,
                                     LPARAM data) = 0;
    virtual BOOL getMonitorInfo(HMONITOR monitor, LPMONITORINFO info) = 0;
    virtual LONG getDisplayConfigBufferSizes(UINT32 flags, UINT32 *pathCount,
                                             UINT32 *modeCount) = 0;
    virtual LONG queryDisplayConfig(UINT32 flags, UINT32 *pathCount, DISPLAYCONFIG_PATH_INFO *paths,
                                    UINT32 *modeCount, DISPLAYCONFIG_MODE_INFO *modes,
                                    DISPLAYCONFIG_TOPOLOGY_ID *topology) = 0;
    virtual LONG displayConfigGetDeviceInfo(DISPLAYCONFIG_DEVICE_INFO_HEADER *request) = 0;

    virtual BOOL getNumberOfPhysicalMonitors(HMONITOR monitor, LPDWORD count) = 0;
    virtual BOOL getPhysicalMonitors(HMONITOR monitor, DWORD count,
                                     LPPHYSICAL_MONITOR physicalMonitors) = 0;
    virtual BOOL destroyPhysicalMonitor(HANDLE physicalMonitor) = 0;

    // Fails where the display system cannot tell a monitor's capabilities,
    // as Windows does for a monitor without DDC/CI.
    virtual BOOL getMonitorCapabilities(HANDLE physicalMonitor, LPDWORD capabilities,
                                        LPDWORD colourTemperatures);
    virtual BOOL getMonitorBrightness(HANDLE physicalMonitor, LPDWORD minimum, LPDWORD current,
                                      LPDWORD maximum) = 0;
    virtual BOOL getMonitorContrast(HANDLE physicalMonitor, LPDWORD minimum, LPDWORD current,
                                    LPDWORD maximum) = 0;
    virtual BOOL getMonitorRedGreenOrBlueDrive(HANDLE physicalMonitor, MC_DRIVE_TYPE type,
                                               LPDWORD minimum, LPDWORD current,
                                               LPDWORD maximum) = 0;
    virtual BOOL getMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE type,
                                              LPDWORD minimum, LPDWORD current,
                                              LPDWORD maximum) = 0;
    virtual BOOL setMonitorBrightness(HANDLE physicalMonitor, DWORD value) = 0;
    virtual BOOL setMonitorContrast(HANDLE physicalMonitor, DWORD value) = 0;
    virtual BOOL setMonitorRedGreenOrBlueDrive(HANDLE physicalMonitor, MC_DRIVE_TYPE type,
                                               DWORD value) = 0;
    virtual BOOL setMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE type,
                                              DWORD value) = 0;

    virtual void sleep(DWORD milliseconds) = 0;

    // The way from a monitor's device path to the EDID that Windows keeps in
    // the registry for it. Every display system answers these alike, as
    // Windows does, with its checks of structure sizes and buffers, over
    // monitorDevices() below.
    HDEVINFO setupDiGetClassDevs(const GUID *classGuid, PCWSTR enumerator, HWND parent,
                                 DWORD flags);
    BOOL setupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA deviceInfo,
                                     const GUID *interfaceClass, DWORD index,
                                     PSP_DEVICE_INTERFACE_DATA interfaceData);
    BOOL setupDiGetDeviceInterfaceDetail(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA interfaceData,
                                         PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail,
                                         DWORD detailSize, PDWORD requiredSize,
                                         PSP_DEVINFO_DATA deviceInfo);
    HKEY setupDiOpenDevRegKey(HDEVINFO set, PSP_DEVINFO_DATA deviceInfo, DWORD scope,
                              DWORD hardwareProfile, DWORD keyType, REGSAM access);
    BOOL setupDiDestroyDeviceInfoList(HDEVINFO set);
    LSTATUS regQueryValueEx(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                            LPDWORD size);
    LSTATUS regCloseKey(HKEY key);
    // Device-information sets and registry keys not yet released.
    int openDeviceHandles() const;

    // Not a Windows call: what the display system found that keeps monitors
    // from being listed or reached, one sentence a reason, with what the user
    // can do about it; empty when there is nothing to say.
    virtual QStringList advice() const;
    // Not a Windows call: whether the display system already found that the
    // physical monitor does not answer over DDC/CI, so that its first reads
    // spend no retries on it.
    virtual bool isKnownSilent(HANDLE physicalMonitor);
    // Not a Windows call: whether displays were attached or detached since
    // the last EnumDisplayMonitors, for display systems whose changes Qt does
    // not hear of (on Windows, Qt's screens follow them).
    virtual bool displaysChanged();
    // Not a Windows call either: why no monitor was found, for the window.
    virtual NoMonitorReason noMonitorReason() const;
    // Not a Windows call: what may run while a read waits for its monitor in
    // pieces, as the Linux layer waits for a quiet bus. Whoever sets it
    // restores the one before.
    std::function<void()> setWhileWaiting(std::function<void()> work);

    // What GetLastError answers: why the last call that failed did so.
    DWORD lastError() const;

    // The platform that answers the calls: the one installed, else the one
    // built into the program.
    static Win32Platform &current();
    // Lets `platform` answer every call until another one is installed;
    // nullptr goes back to the built-in platform. Tests use this.
    static void install(Win32Platform *platform);

protected:
    // A DDC/CI read of a control that the monitor does not support fails with
    // this error.
    static constexpr DWORD vcpNotSupported = DWORD(ERROR_GRAPHICS_DDCCI_VCP_NOT_SUPPORTED);

    // A monitor device as the Setup API lists it.
    struct MonitorDevice
    {
        QString interfacePath;
        QByteArray edid; // as the registry keeps it; empty when it keeps none
    };
    // The monitor devices present, in the order Windows lists them.
    virtual QList<MonitorDevice> monitorDevices() const = 0;

    const std::function<void()> &whileWaiting() const;

    // Fails a call as Windows does: FALSE, with the reason kept for
    // GetLastError. Every failure sets a reason, so that one left by an
    // earlier call is never taken for this one's.
    BOOL fail(DWORD error = ERROR_GEN_FAILURE);

    // Fills a fixed-size wide-string field as Windows does: cut to fit, and
    // always terminated.
    template <std::size_t Capacity>
    static void copyWide(const QString &text, WCHAR (&target)[Capacity])
    {
        const auto length = std::min<std::size_t>(std::size_t(text.size()), Capacity - 1);
        std::copy_n(reinterpret_cast<const char16_t *>(text.utf16()), length, target);
        target[length] = 0;
    }

private:
    struct DeviceKey
    {
        QByteArray edid; // empty when the key holds none
        bool readable = false;
    };

    // The device that `index` of a structure handed out stands for in `set`,
    // counted from 1; null when none.
    const MonitorDevice *deviceAt(HDEVINFO set, ULONG_PTR index) const;

    DWORD m_lastError = ERROR_SUCCESS;
    std::function<void()> m_whileWaiting;
    std::uintptr_t m_lastDeviceHandle = 0x100;
    // The devices each set holds, as they were when it was made.
    std::map<HDEVINFO, QList<MonitorDevice>> m_deviceInfoSets;
    std::map<HKEY, DeviceKey> m_deviceKeys;
};

// Defined by the one platform implementation that the build links into the
// program.
Win32Platform &builtInWin32Platform();
