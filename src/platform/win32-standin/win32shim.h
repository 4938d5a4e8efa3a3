#pragma once

// The Windows display, Monitor Configuration, Setup API and registry
// declarations that the backend uses, for systems without Windows. Names, signatures, structure
// layouts and values are those of the Windows SDK for 64-bit Windows, so that the backend compiles
// unchanged; each function forwards to the Win32Platform in use.

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#define TRUE 1
#define FALSE 0

using BOOL = int;
using BYTE = std::uint8_t;
using LONG = std::int32_t;
using LSTATUS = LONG;
using HRESULT = LONG;
using DWORD = std::uint32_t;
using REGSAM = DWORD;
using UINT16 = std::uint16_t;
using UINT32 = std::uint32_t;
using UINT64 = std::uint64_t;
using LPARAM = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using LPDWORD = DWORD *;
using PDWORD = DWORD *;
using LPBYTE = BYTE *;
// Windows' WCHAR is UTF-16; wchar_t is wider on other systems.
using WCHAR = char16_t;
using PCWSTR = const WCHAR *;
using LPCWSTR = const WCHAR *;
using PVOID = void *;
using HANDLE = void *;
using HDEVINFO = PVOID;

struct HMONITOR__;
struct HDC__;
struct HWND__;
struct HKEY__;
using HMONITOR = HMONITOR__ *;
using HDC = HDC__ *;
using HWND = HWND__ *;
using HKEY = HKEY__ *;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(std::intptr_t(-1)))

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_GEN_FAILURE = 31;
constexpr LONG ERROR_NOT_SUPPORTED = 50;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_INSUFFICIENT_BUFFER = 122;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_INVALID_FLAGS = 1004;
constexpr LONG ERROR_INVALID_USER_BUFFER = 1784;
// Macros, as in the SDK, typed as HRESULTs although GetLastError answers them.
#define ERROR_GRAPHICS_I2C_ERROR_TRANSMITTING_DATA HRESULT(0xC0262582L)
#define ERROR_GRAPHICS_DDCCI_VCP_NOT_SUPPORTED HRESULT(0xC0262584L)
#define ERROR_GRAPHICS_MONITOR_NO_LONGER_EXISTS HRESULT(0xC026258DL)
constexpr int CCHDEVICENAME = 32;
constexpr UINT32 QDC_ONLY_ACTIVE_PATHS = 0x00000002;
constexpr UINT32 QDC_VIRTUAL_MODE_AWARE = 0x00000010;

struct RECT
{
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT *;
using LPCRECT = const RECT *;

struct LUID
{
    DWORD LowPart;
    LONG HighPart;
};

struct MONITORINFO
{
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
using LPMONITORINFO = MONITORINFO *;

struct MONITORINFOEXW : MONITORINFO
{
    WCHAR szDevice[CCHDEVICENAME];
};

using MONITORENUMPROC = BOOL(CALLBACK *)(HMONITOR, HDC, LPRECT, LPARAM);

enum DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY : UINT32 {
    DISPLAYCONFIG_OUTPUT_TECHNOLOGY_OTHER = 0xFFFFFFFF,
    DISPLAYCONFIG_OUTPUT_TECHNOLOGY_HD15 = 0,
    DISPLAYCONFIG_OUTPUT_TECHNOLOGY_DVI = 4,
    DISPLAYCONFIG_OUTPUT_TECHNOLOGY_HDMI = 5,
    DISPLAYCONFIG_OUTPUT_TECHNOLOGY_LVDS = 6,
    DISPLAYCONFIG_OUTPUT_TECHNOLOGY_DISPLAYPORT_EXTERNAL = 10,
    DISPLAYCONFIG_OUTPUT_TECHNOLOGY_DISPLAYPORT_EMBEDDED = 11,
    DISPLAYCONFIG_OUTPUT_TECHNOLOGY_UDI_EMBEDDED = 13,
    DISPLAYCONFIG_OUTPUT_TECHNOLOGY_INTERNAL = 0x80000000,
};
enum DISPLAYCONFIG_ROTATION : UINT32 { DISPLAYCONFIG_ROTATION_IDENTITY = 1 };
enum DISPLAYCONFIG_SCALING : UINT32 { DISPLAYCONFIG_SCALING_IDENTITY = 1 };
enum DISPLAYCONFIG_SCANLINE_ORDERING : UINT32 {
    DISPLAYCONFIG_SCANLINE_ORDERING_UNSPECIFIED = 0,
    DISPLAYCONFIG_SCANLINE_ORDERING_PROGRESSIVE = 1,
};
enum DISPLAYCONFIG_MODE_INFO_TYPE : UINT32 {
    DISPLAYCONFIG_MODE_INFO_TYPE_SOURCE = 1,
    DISPLAYCONFIG_MODE_INFO_TYPE_TARGET = 2,
    DISPLAYCONFIG_MODE_INFO_TYPE_DESKTOP_IMAGE = 3,
};
enum DISPLAYCONFIG_TOPOLOGY_ID : UINT32 { DISPLAYCONFIG_TOPOLOGY_INTERNAL = 1 };
enum DISPLAYCONFIG_DEVICE_INFO_TYPE : UINT32 {
    DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME = 1,
    DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME = 2,
};

struct DISPLAYCONFIG_RATIONAL
{
    UINT32 Numerator;
    UINT32 Denominator;
};

struct DISPLAYCONFIG_PATH_SOURCE_INFO
{
    LUID adapterId;
    UINT32 id;
    UINT32 modeInfoIdx;
    UINT32 statusFlags;
};

struct DISPLAYCONFIG_PATH_TARGET_INFO
{
    LUID adapterId;
    UINT32 id;
    UINT32 modeInfoIdx;
    DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY outputTechnology;
    DISPLAYCONFIG_ROTATION rotation;
    DISPLAYCONFIG_SCALING scaling;
    DISPLAYCONFIG_RATIONAL refreshRate;
    DISPLAYCONFIG_SCANLINE_ORDERING scanLineOrdering;
    BOOL targetAvailable;
    UINT32 statusFlags;
};

struct DISPLAYCONFIG_PATH_INFO
{
    DISPLAYCONFIG_PATH_SOURCE_INFO sourceInfo;
    DISPLAYCONFIG_PATH_TARGET_INFO targetInfo;
    UINT32 flags;
};

struct DISPLAYCONFIG_MODE_INFO
{
    DISPLAYCONFIG_MODE_INFO_TYPE infoType;
    UINT32 id;
    LUID adapterId;
    // The target, source or desktop-image mode. Nothing here reads modes; the
    // array only has to be passed with the Windows element size.
    alignas(8) unsigned char mode[48];
};

struct DISPLAYCONFIG_DEVICE_INFO_HEADER
{
    DISPLAYCONFIG_DEVICE_INFO_TYPE type;
    UINT32 size;
    LUID adapterId;
    UINT32 id;
};

struct DISPLAYCONFIG_SOURCE_DEVICE_NAME
{
    DISPLAYCONFIG_DEVICE_INFO_HEADER header;
    WCHAR viewGdiDeviceName[CCHDEVICENAME];
};

struct DISPLAYCONFIG_TARGET_DEVICE_NAME_FLAGS
{
    UINT32 value;
};

struct DISPLAYCONFIG_TARGET_DEVICE_NAME
{
    DISPLAYCONFIG_DEVICE_INFO_HEADER header;
    DISPLAYCONFIG_TARGET_DEVICE_NAME_FLAGS flags;
    DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY outputTechnology;
    UINT16 edidManufactureId;
    UINT16 edidProductCodeId;
    UINT32 connectorInstance;
    WCHAR monitorFriendlyDeviceName[64];
    WCHAR monitorDevicePath[128];
};

constexpr int PHYSICAL_MONITOR_DESCRIPTION_SIZE = 128;

struct PHYSICAL_MONITOR
{
    HANDLE hPhysicalMonitor;
    WCHAR szPhysicalMonitorDescription[PHYSICAL_MONITOR_DESCRIPTION_SIZE];
};
using LPPHYSICAL_MONITOR = PHYSICAL_MONITOR *;

struct GUID
{
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};

// The device-interface class of monitors, as ntddvdeo.h declares it.
constexpr GUID GUID_DEVINTERFACE_MONITOR = {
    0xe6f07b5f, 0xee97, 0x4a90, {0xb0, 0x76, 0x33, 0xf5, 0x7b, 0xf4, 0xea, 0xa7}};

constexpr DWORD DIGCF_PRESENT = 0x00000002;
constexpr DWORD DIGCF_DEVICEINTERFACE = 0x00000010;
constexpr DWORD DICS_FLAG_GLOBAL = 0x00000001;
constexpr DWORD DIREG_DEV = 0x00000001;
constexpr DWORD SPINT_ACTIVE = 0x00000001;
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_READ = 0x20019;
constexpr DWORD REG_BINARY = 3;
constexpr int ANYSIZE_ARRAY = 1;

struct SP_DEVINFO_DATA
{
    DWORD cbSize;
    GUID ClassGuid;
    DWORD DevInst;
    ULONG_PTR Reserved;
};
using PSP_DEVINFO_DATA = SP_DEVINFO_DATA *;

struct SP_DEVICE_INTERFACE_DATA
{
    DWORD cbSize;
    GUID InterfaceClassGuid;
    DWORD Flags;
    ULONG_PTR Reserved;
};
using PSP_DEVICE_INTERFACE_DATA = SP_DEVICE_INTERFACE_DATA *;

struct SP_DEVICE_INTERFACE_DETAIL_DATA_W
{
    DWORD cbSize;
    WCHAR DevicePath[ANYSIZE_ARRAY];
};
using PSP_DEVICE_INTERFACE_DETAIL_DATA_W = SP_DEVICE_INTERFACE_DETAIL_DATA_W *;

constexpr DWORD MC_CAPS_BRIGHTNESS = 0x00000002;
constexpr DWORD MC_CAPS_CONTRAST = 0x00000004;
constexpr DWORD MC_CAPS_RED_GREEN_BLUE_GAIN = 0x00000010;
constexpr DWORD MC_CAPS_RED_GREEN_BLUE_DRIVE = 0x00000020;

enum MC_DRIVE_TYPE { MC_RED_DRIVE, MC_GREEN_DRIVE, MC_BLUE_DRIVE };
enum MC_GAIN_TYPE { MC_RED_GAIN, MC_GREEN_GAIN, MC_BLUE_GAIN };

// The access layer checks the other structures' sizes against whichever
// declarations it is built with; it never reads a mode.
static_assert(sizeof(DISPLAYCONFIG_MODE_INFO) == 64);

// user32
BOOL WINAPI EnumDisplayMonitors(HDC hdc, LPCRECT lprcClip, MONITORENUMPROC lpfnEnum, LPARAM dwData);
BOOL WINAPI GetMonitorInfoW(HMONITOR hMonitor, LPMONITORINFO lpmi);
LONG WINAPI GetDisplayConfigBufferSizes(UINT32 flags, UINT32 *numPathArrayElements,
                                        UINT32 *numModeInfoArrayElements);
LONG WINAPI QueryDisplayConfig(UINT32 flags, UINT32 *numPathArrayElements,
                               DISPLAYCONFIG_PATH_INFO *pathArray, UINT32 *numModeInfoArrayElements,
                               DISPLAYCONFIG_MODE_INFO *modeInfoArray,
                               DISPLAYCONFIG_TOPOLOGY_ID *currentTopologyId);
LONG WINAPI DisplayConfigGetDeviceInfo(DISPLAYCONFIG_DEVICE_INFO_HEADER *requestPacket);

// dxva2: physical monitors
BOOL WINAPI GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR hMonitor,
                                                    LPDWORD pdwNumberOfPhysicalMonitors);
BOOL WINAPI GetPhysicalMonitorsFromHMONITOR(HMONITOR hMonitor, DWORD dwPhysicalMonitorArraySize,
                                            LPPHYSICAL_MONITOR pPhysicalMonitorArray);
BOOL WINAPI DestroyPhysicalMonitor(HANDLE hMonitor);
BOOL WINAPI DestroyPhysicalMonitors(DWORD dwPhysicalMonitorArraySize,
                                    LPPHYSICAL_MONITOR pPhysicalMonitorArray);

// dxva2: high-level monitor configuration
BOOL WINAPI GetMonitorCapabilities(HANDLE hMonitor, LPDWORD pdwMonitorCapabilities,
                                   LPDWORD pdwSupportedColorTemperatures);
BOOL WINAPI GetMonitorBrightness(HANDLE hMonitor, LPDWORD pdwMinimumBrightness,
                                 LPDWORD pdwCurrentBrightness, LPDWORD pdwMaximumBrightness);
BOOL WINAPI GetMonitorContrast(HANDLE hMonitor, LPDWORD pdwMinimumContrast,
                               LPDWORD pdwCurrentContrast, LPDWORD pdwMaximumContrast);
BOOL WINAPI GetMonitorRedGreenOrBlueDrive(HANDLE hMonitor, MC_DRIVE_TYPE dtDriveType,
                                          LPDWORD pdwMinimumDrive, LPDWORD pdwCurrentDrive,
                                          LPDWORD pdwMaximumDrive);
BOOL WINAPI GetMonitorRedGreenOrBlueGain(HANDLE hMonitor, MC_GAIN_TYPE gtGainType,
                                         LPDWORD pdwMinimumGain, LPDWORD pdwCurrentGain,
                                         LPDWORD pdwMaximumGain);
BOOL WINAPI SetMonitorBrightness(HANDLE hMonitor, DWORD dwNewBrightness);
BOOL WINAPI SetMonitorContrast(HANDLE hMonitor, DWORD dwNewContrast);
BOOL WINAPI SetMonitorRedGreenOrBlueDrive(HANDLE hMonitor, MC_DRIVE_TYPE dtDriveType,
                                          DWORD dwNewDrive);
BOOL WINAPI SetMonitorRedGreenOrBlueGain(HANDLE hMonitor, MC_GAIN_TYPE gtGainType, DWORD dwNewGain);

// setupapi
HDEVINFO WINAPI SetupDiGetClassDevsW(const GUID *ClassGuid, PCWSTR Enumerator, HWND hwndParent,
                                     DWORD Flags);
BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                        const GUID *InterfaceClassGuid, DWORD MemberIndex,
                                        PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData);
BOOL WINAPI SetupDiGetDeviceInterfaceDetailW(
    HDEVINFO DeviceInfoSet, PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
    PSP_DEVICE_INTERFACE_DETAIL_DATA_W DeviceInterfaceDetailData,
    DWORD DeviceInterfaceDetailDataSize, PDWORD RequiredSize, PSP_DEVINFO_DATA DeviceInfoData);
HKEY WINAPI SetupDiOpenDevRegKey(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                 DWORD Scope, DWORD HwProfile, DWORD KeyType, REGSAM samDesired);
BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet);

// advapi32
LSTATUS WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                LPBYTE lpData, LPDWORD lpcbData);
LSTATUS WINAPI RegCloseKey(HKEY hKey);

// kernel32
void WINAPI Sleep(DWORD dwMilliseconds);
DWORD WINAPI GetLastError();
