#pragma once

#include "win32shim.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <algorithm>
#include <cstddef>

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

    // Not a Windows call: what the display system found that keeps monitors
    // from being listed or reached, one sentence a reason, with what the user
    // can do about it; empty when there is nothing to say.
    virtual QStringList advice() const;
    // Not a Windows call: whether the display system already found that the
    // physical monitor does not answer over DDC/CI, so that its first reads
    // spend no retries on it.
    virtual bool isKnownSilent(HANDLE physicalMonitor);

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
    DWORD m_lastError = ERROR_SUCCESS;
};

// Defined by the one platform implementation that the build links into the
// program.
Win32Platform &builtInWin32Platform();
