#include "win32shim.h"

#include "Win32Platform.h"

BOOL WINAPI EnumDisplayMonitors(HDC hdc, LPCRECT lprcClip, MONITORENUMPROC lpfnEnum, LPARAM dwData)
{
    return Win32Platform::current().enumDisplayMonitors(hdc, lprcClip, lpfnEnum, dwData);
}

BOOL WINAPI GetMonitorInfoW(HMONITOR hMonitor, LPMONITORINFO lpmi)
{
    return Win32Platform::current().getMonitorInfo(hMonitor, lpmi);
}

LONG WINAPI GetDisplayConfigBufferSizes(UINT32 flags, UINT32 *numPathArrayElements,
                                        UINT32 *numModeInfoArrayElements)
{
    return Win32Platform::current().getDisplayConfigBufferSizes(flags, numPathArrayElements,
                                                                numModeInfoArrayElements);
}

LONG WINAPI QueryDisplayConfig(UINT32 flags, UINT32 *numPathArrayElements,
                               DISPLAYCONFIG_PATH_INFO *pathArray, UINT32 *numModeInfoArrayElements,
                               DISPLAYCONFIG_MODE_INFO *modeInfoArray,
                               DISPLAYCONFIG_TOPOLOGY_ID *currentTopologyId)
{
    return Win32Platform::current().queryDisplayConfig(flags, numPathArrayElements, pathArray,
                                                       numModeInfoArrayElements, modeInfoArray,
                                                       currentTopologyId);
}

LONG WINAPI DisplayConfigGetDeviceInfo(DISPLAYCONFIG_DEVICE_INFO_HEADER *requestPacket)
{
    return Win32Platform::current().displayConfigGetDeviceInfo(requestPacket);
}

BOOL WINAPI GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR hMonitor,
                                                    LPDWORD pdwNumberOfPhysicalMonitors)
{
    return Win32Platform::current().getNumberOfPhysicalMonitors(hMonitor,
                                                                pdwNumberOfPhysicalMonitors);
}

BOOL WINAPI GetPhysicalMonitorsFromHMONITOR(HMONITOR hMonitor, DWORD dwPhysicalMonitorArraySize,
                                            LPPHYSICAL_MONITOR pPhysicalMonitorArray)
{
    return Win32Platform::current().getPhysicalMonitors(hMonitor, dwPhysicalMonitorArraySize,
                                                        pPhysicalMonitorArray);
}

BOOL WINAPI DestroyPhysicalMonitor(HANDLE hMonitor)
{
    return Win32Platform::current().destroyPhysicalMonitor(hMonitor);
}

BOOL WINAPI DestroyPhysicalMonitors(DWORD dwPhysicalMonitorArraySize,
                                    LPPHYSICAL_MONITOR pPhysicalMonitorArray)
{
    BOOL allReleased = TRUE;
    for (DWORD i = 0; i < dwPhysicalMonitorArraySize; ++i) {
        if (!DestroyPhysicalMonitor(pPhysicalMonitorArray[i].hPhysicalMonitor))
            allReleased = FALSE;
    }
    return allReleased;
}

BOOL WINAPI GetMonitorCapabilities(HANDLE hMonitor, LPDWORD pdwMonitorCapabilities,
                                   LPDWORD pdwSupportedColorTemperatures)
{
    return Win32Platform::current().getMonitorCapabilities(hMonitor, pdwMonitorCapabilities,
                                                           pdwSupportedColorTemperatures);
}

BOOL WINAPI GetMonitorBrightness(HANDLE hMonitor, LPDWORD pdwMinimumBrightness,
                                 LPDWORD pdwCurrentBrightness, LPDWORD pdwMaximumBrightness)
{
    return Win32Platform::current().getMonitorBrightness(
        hMonitor, pdwMinimumBrightness, pdwCurrentBrightness, pdwMaximumBrightness);
}

BOOL WINAPI GetMonitorContrast(HANDLE hMonitor, LPDWORD pdwMinimumContrast,
                               LPDWORD pdwCurrentContrast, LPDWORD pdwMaximumContrast)
{
    return Win32Platform::current().getMonitorContrast(hMonitor, pdwMinimumContrast,
                                                       pdwCurrentContrast, pdwMaximumContrast);
}

BOOL WINAPI GetMonitorRedGreenOrBlueDrive(HANDLE hMonitor, MC_DRIVE_TYPE dtDriveType,
                                          LPDWORD pdwMinimumDrive, LPDWORD pdwCurrentDrive,
                                          LPDWORD pdwMaximumDrive)
{
    return Win32Platform::current().getMonitorRedGreenOrBlueDrive(
        hMonitor, dtDriveType, pdwMinimumDrive, pdwCurrentDrive, pdwMaximumDrive);
}

BOOL WINAPI GetMonitorRedGreenOrBlueGain(HANDLE hMonitor, MC_GAIN_TYPE gtGainType,
                                         LPDWORD pdwMinimumGain, LPDWORD pdwCurrentGain,
                                         LPDWORD pdwMaximumGain)
{
    return Win32Platform::current().getMonitorRedGreenOrBlueGain(
        hMonitor, gtGainType, pdwMinimumGain, pdwCurrentGain, pdwMaximumGain);
}

BOOL WINAPI SetMonitorBrightness(HANDLE hMonitor, DWORD dwNewBrightness)
{
    return Win32Platform::current().setMonitorBrightness(hMonitor, dwNewBrightness);
}

BOOL WINAPI SetMonitorContrast(HANDLE hMonitor, DWORD dwNewContrast)
{
    return Win32Platform::current().setMonitorContrast(hMonitor, dwNewContrast);
}

BOOL WINAPI SetMonitorRedGreenOrBlueDrive(HANDLE hMonitor, MC_DRIVE_TYPE dtDriveType,
                                          DWORD dwNewDrive)
{
    return Win32Platform::current().setMonitorRedGreenOrBlueDrive(hMonitor, dtDriveType,
                                                                  dwNewDrive);
}

BOOL WINAPI SetMonitorRedGreenOrBlueGain(HANDLE hMonitor, MC_GAIN_TYPE gtGainType, DWORD dwNewGain)
{
    return Win32Platform::current().setMonitorRedGreenOrBlueGain(hMonitor, gtGainType, dwNewGain);
}

HDEVINFO WINAPI SetupDiGetClassDevsW(const GUID *ClassGuid, PCWSTR Enumerator, HWND hwndParent,
                                     DWORD Flags)
{
    return Win32Platform::current().setupDiGetClassDevs(ClassGuid, Enumerator, hwndParent, Flags);
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                        const GUID *InterfaceClassGuid, DWORD MemberIndex,
                                        PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData)
{
    return Win32Platform::current().setupDiEnumDeviceInterfaces(
        DeviceInfoSet, DeviceInfoData, InterfaceClassGuid, MemberIndex, DeviceInterfaceData);
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailW(
    HDEVINFO DeviceInfoSet, PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
    PSP_DEVICE_INTERFACE_DETAIL_DATA_W DeviceInterfaceDetailData,
    DWORD DeviceInterfaceDetailDataSize, PDWORD RequiredSize, PSP_DEVINFO_DATA DeviceInfoData)
{
    return Win32Platform::current().setupDiGetDeviceInterfaceDetail(
        DeviceInfoSet, DeviceInterfaceData, DeviceInterfaceDetailData,
        DeviceInterfaceDetailDataSize, RequiredSize, DeviceInfoData);
}

HKEY WINAPI SetupDiOpenDevRegKey(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                 DWORD Scope, DWORD HwProfile, DWORD KeyType, REGSAM samDesired)
{
    return Win32Platform::current().setupDiOpenDevRegKey(DeviceInfoSet, DeviceInfoData, Scope,
                                                         HwProfile, KeyType, samDesired);
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet)
{
    return Win32Platform::current().setupDiDestroyDeviceInfoList(DeviceInfoSet);
}

LSTATUS WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                LPBYTE lpData, LPDWORD lpcbData)
{
    return Win32Platform::current().regQueryValueEx(hKey, lpValueName, lpReserved, lpType, lpData,
                                                    lpcbData);
}

LSTATUS WINAPI RegCloseKey(HKEY hKey)
{
    return Win32Platform::current().regCloseKey(hKey);
}

void WINAPI Sleep(DWORD dwMilliseconds)
{
    Win32Platform::current().sleep(dwMilliseconds);
}

DWORD WINAPI GetLastError()
{
    return Win32Platform::current().lastError();
}
