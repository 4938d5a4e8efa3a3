#pragma once

#include "DisplayDiscovery.h"
#include "VcpCode.h"
#include "win32-standin/Win32Platform.h"

#include <map>
#include <optional>
#include <vector>

class Clock;
class I2cTransport;

// Answers the backend's Windows calls with the displays attached to this
// Linux machine, driven over DDC/CI through i2c-dev. The connector name
// ("card0-DP-1") stands for the GDI device name and for the monitor's device
// path, under which the connector's EDID is found; the EDID monitor name
// stands for the friendly name. Each display has one physical monitor, whose
// handles stand for its open DDC/CI channel.
//
// Displays come and go while Varno runs: every enumeration looks again.
// Handles never lead to another display than the one they were given for:
// a display's HMONITOR is an id of its own for as long as it stays, and
// each physical-monitor handle handed out is a new number.
class I2cDevDisplaySystem : public Win32Platform
{
public:
    struct Environment
    {
        QString sysfsRoot;
        QString deviceDirectory;
        I2cTransport &transport;
        Clock &clock;
    };

    // Discovers the displays at once; a display's channel stays open until
    // it goes or the backend destroys the last of its physical monitors.
    explicit I2cDevDisplaySystem(const Environment &environment);

    BOOL enumDisplayMonitors(HDC hdc, LPCRECT clip, MONITORENUMPROC callback, LPARAM data) override;
    BOOL getMonitorInfo(HMONITOR monitor, LPMONITORINFO info) override;
    LONG getDisplayConfigBufferSizes(UINT32 flags, UINT32 *pathCount, UINT32 *modeCount) override;
    LONG queryDisplayConfig(UINT32 flags, UINT32 *pathCount, DISPLAYCONFIG_PATH_INFO *paths,
                            UINT32 *modeCount, DISPLAYCONFIG_MODE_INFO *modes,
                            DISPLAYCONFIG_TOPOLOGY_ID *topology) override;
    LONG displayConfigGetDeviceInfo(DISPLAYCONFIG_DEVICE_INFO_HEADER *request) override;
    BOOL getNumberOfPhysicalMonitors(HMONITOR monitor, LPDWORD count) override;
    BOOL getPhysicalMonitors(HMONITOR monitor, DWORD count,
                             LPPHYSICAL_MONITOR physicalMonitors) override;
    BOOL destroyPhysicalMonitor(HANDLE physicalMonitor) override;
    BOOL getMonitorBrightness(HANDLE physicalMonitor, LPDWORD minimum, LPDWORD current,
                              LPDWORD maximum) override;
    BOOL getMonitorContrast(HANDLE physicalMonitor, LPDWORD minimum, LPDWORD current,
                            LPDWORD maximum) override;
    BOOL getMonitorRedGreenOrBlueDrive(HANDLE physicalMonitor, MC_DRIVE_TYPE type, LPDWORD minimum,
                                       LPDWORD current, LPDWORD maximum) override;
    BOOL getMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE type, LPDWORD minimum,
                                      LPDWORD current, LPDWORD maximum) override;
    BOOL setMonitorBrightness(HANDLE physicalMonitor, DWORD value) override;
    BOOL setMonitorContrast(HANDLE physicalMonitor, DWORD value) override;
    BOOL setMonitorRedGreenOrBlueDrive(HANDLE physicalMonitor, MC_DRIVE_TYPE type,
                                       DWORD value) override;
    BOOL setMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE type,
                                      DWORD value) override;
    void sleep(DWORD milliseconds) override;
    QStringList advice() const override;
    bool isKnownSilent(HANDLE physicalMonitor) override;
    NoMonitorReason noMonitorReason() const override;
    bool displaysChanged() override;

protected:
    QList<MonitorDevice> monitorDevices() const override;

private:
    struct Display
    {
        std::uintptr_t id;
        DiscoveredDisplay discovered;
    };

    void rescan();
    bool isKept(const Display &display) const;
    void addAdvice(const QStringList &advice);
    Display *displayWithId(std::uintptr_t id);
    Display *displayAt(HMONITOR monitor);
    Display *handedOutDisplay(HANDLE physicalMonitor);
    DdcCiChannel *channelBehind(HANDLE physicalMonitor);
    BOOL read(HANDLE physicalMonitor, std::optional<MonitorControl> control, LPDWORD minimum,
              LPDWORD current, LPDWORD maximum);
    BOOL write(HANDLE physicalMonitor, std::optional<MonitorControl> control, DWORD value);

    Clock &m_clock;
    DrmConnectorScanner m_scanner;
    DisplayDiscovery m_discovery;
    std::vector<Display> m_displays;
    QMap<QString, QByteArray> m_outputsSeen;
    // Each physical-monitor handle not yet destroyed, and its display's id.
    std::map<std::uintptr_t, std::uintptr_t> m_handedOut;
    std::uintptr_t m_lastDisplayId = 0;
    std::uintptr_t m_lastPhysicalMonitor = 0;
    QStringList m_advice;
    NoMonitorReason m_noMonitorReason = NoMonitorReason::Unexplained;
};
