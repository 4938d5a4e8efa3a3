#pragma once

// The Windows display and Monitor Configuration declarations that DDCWinApi
// uses, for systems without Windows. Names, signatures, structure layouts and
// values are those of the Windows SDK for 64-bit Windows, so that the backend
// compiles unchanged; each function forwards to the Win32Platform in use.

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#define TRUE 1
#define FALSE 0

using BOOL = int;
using LONG = std::int32_t;
using HRESULT = LONG;
using DWORD = std::uint32_t;
using UINT16 = std::uint16_t;
using UINT32 = std::uint32_t;
using UINT64 = std::uint64_t;
using LPARAM = std::intptr_t;
using LPDWORD = DWORD *;
// Windows' WCHAR is UTF-16; wchar_t is wider on other systems.
using WCHAR = char16_t;
using HANDLE = void *;

struct HMONITOR__;
struct HDC__;
using HMONITOR = HMONITOR__ *;
using HDC = HDC__ *;

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_GEN_FAILURE = 31;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_INSUFFICIENT_BUFFER = 122;
// A macro, as in the SDK, typed as an HRESULT although GetLastError answers it.
#define ERROR_GRAPHICS_DDCCI_VCP_NOT_SUPPORTED HRESULT(0xC0262584L)
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
    DISPLAYCONFIG_OUTPUT_TECHNOLOGY_DISPLAYPORT_EXTERNAL = 10,
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

enum MC_DRIVE_TYPE { MC_RED_DRIVE, MC_GREEN_DRIVE, MC_BLUE_DRIVE };
enum MC_GAIN_TYPE { MC_RED_GAIN, MC_GREEN_GAIN, MC_BLUE_GAIN };

static_assert(sizeof(MONITORINFOEXW) == 104);
static_assert(sizeof(DISPLAYCONFIG_PATH_INFO) == 72);
static_assert(sizeof(DISPLAYCONFIG_MODE_INFO) == 64);
static_assert(sizeof(DISPLAYCONFIG_SOURCE_DEVICE_NAME) == 84);
static_assert(sizeof(DISPLAYCONFIG_TARGET_DEVICE_NAME) == 420);
static_assert(sizeof(PHYSICAL_MONITOR) == 264);

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

// kernel32
void WINAPI Sleep(DWORD dwMilliseconds);
DWORD WINAPI GetLastError();
