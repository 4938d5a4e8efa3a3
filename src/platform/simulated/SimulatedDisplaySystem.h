#pragma once

#include "win32-standin/MonitorControl.h"
#include "win32-standin/Win32Platform.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <array>
#include <chrono>
#include <map>
#include <optional>

// A display system held in memory: display monitors with their names,
// display-configuration paths and EDIDs, physical monitors with their control values,
// and monitors that behave like real ones: slow to answer, silent, missing
// reads, refusing writes or lacking a control. It keeps what is written and
// can record every call it answers, with its arguments, in order.
class SimulatedDisplaySystem : public Win32Platform
{
public:
    struct Delays
    {
        std::chrono::milliseconds read{0};
        std::chrono::milliseconds write{0};
    };
    // What a DDC/CI monitor needs at least: 40 ms to answer a read, 50 ms to
    // take a write.
    static Delays monitorLike();

    struct ControlState
    {
        DWORD minimum = 0;
        DWORD current = 50;
        DWORD maximum = 100;
        int failingReads = 0; // reads that fail before the control answers
        bool neverAnswers = false;
        bool unsupported = false; // reads answer "this control is not supported"
        bool refusesWrites = false;
        int droppedWrites = 0; // writes lost on the bus before the control takes one
    };

    struct PhysicalMonitor
    {
        std::array<ControlState, monitorControlCount> controls;
        // The MC_CAPS_ bits that GetMonitorCapabilities gives; none when the
        // query fails, as for a monitor without DDC/CI.
        std::optional<DWORD> capabilities = MC_CAPS_BRIGHTNESS | MC_CAPS_CONTRAST
            | MC_CAPS_RED_GREEN_BLUE_GAIN | MC_CAPS_RED_GREEN_BLUE_DRIVE;
        QString description = QStringLiteral("Generic PnP Monitor");
    };

    struct DisplayMonitor
    {
        QString gdiDeviceName;
        QString friendlyName;
        QString devicePath; // one of its own unless a test gives another
        QByteArray edid; // as Windows keeps it for the device; empty when it has none
        bool hasActivePath = true;
        // What its path's target is: a built-in panel's is internal.
        DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY outputTechnology =
            DISPLAYCONFIG_OUTPUT_TECHNOLOGY_DISPLAYPORT_EXTERNAL;
        QList<PhysicalMonitor> physicalMonitors{PhysicalMonitor()};
        // Whether it is attached, and how often it was: the physical-monitor
        // handles of an earlier attachment no longer reach it.
        bool attached = true;
        int attachment = 1;
    };

    // Answers at once.
    SimulatedDisplaySystem();
    explicit SimulatedDisplaySystem(Delays delays);

    // Returns the id of the new display monitor: its position among all that
    // were ever added. A detached monitor keeps its id, so that no id and no
    // handle ever stands for another monitor.
    int addDisplayMonitor(const QString &gdiDeviceName, const QString &friendlyName);
    DisplayMonitor &displayMonitor(int id);
    // Every display monitor ever added, detached ones included.
    int monitorCount() const;
    // A detached monitor is not listed, and its physical-monitor handles stop
    // answering; attached again, it is reached only through new ones, as a
    // monitor that was unplugged or switched off and on.
    void detachDisplayMonitor(int id);
    void attachDisplayMonitor(int id);
    ControlState &control(int displayMonitor, MonitorControl control, int physicalMonitor = 0);
    // Whether no control of the display's monitors answers: switched off,
    // asleep, cable pulled, or DDC/CI off in its menu.
    void setSilent(int displayMonitor, bool silent);

    // Windows before 10 refuses the display-configuration flag
    // QDC_VIRTUAL_MODE_AWARE with ERROR_INVALID_PARAMETER.
    void setPredatingVirtualModes(bool predating);
    // Windows refuses the display configuration to a session that is locked
    // or remote, with ERROR_ACCESS_DENIED.
    void setConfigurationDenied(bool denied);
    // Ends every physical-monitor handle handed out, as Windows does when the
    // display mode changes: calls through one fail with
    // ERROR_GRAPHICS_MONITOR_NO_LONGER_EXISTS.
    void changeDisplayMode();
    // The first physical monitor behind the display monitor gets the handle
    // 0, which Windows may hand out like any other, whenever 0 is free.
    void setHandleZeroOwner(int displayMonitor);

    void setRecordingCalls(bool recording);
    QStringList calls() const;
    void clearCalls();
    int openPhysicalMonitorHandles() const;

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
    BOOL getMonitorCapabilities(HANDLE physicalMonitor, LPDWORD capabilities,
                                LPDWORD colourTemperatures) override;
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
    bool displaysChanged() override;

protected:
    QList<MonitorDevice> monitorDevices() const override;

    // The display functions that a simulated system always answers, and that
    // a test may make fail.
    enum class DisplayCall { MonitorInfo, SourceName, TargetName, PhysicalMonitors };
    virtual bool fails(DisplayCall call, int displayMonitor) const;
    // Paths the next buffer-size query leaves out, as if a display were
    // attached between it and the query.
    virtual UINT32 pathsHiddenFromSizeQuery();
    // What Sleep does beyond being recorded.
    virtual void pause(DWORD milliseconds);
    enum class Transfer { Read, Write };
    // Called before a control answers: a real monitor takes its time here.
    virtual void answerDelay(Transfer transfer);

private:
    struct PhysicalMonitorId
    {
        int displayMonitor;
        int physicalMonitor;
        int attachment;
        int displayMode;
    };

    void record(const QString &call);
    QString handleName(HMONITOR monitor) const;
    QString handleName(HANDLE physicalMonitor) const;
    int displayPosition(HMONITOR monitor) const;
    void changeDisplays();
    PhysicalMonitor *physicalMonitorBehind(HANDLE physicalMonitor);
    // Why a handle reaches no monitor: Windows ended it, or its monitor went.
    DWORD unreachable(HANDLE physicalMonitor) const;
    ControlState *controlBehind(HANDLE physicalMonitor, std::optional<MonitorControl> control);
    BOOL readControl(const QString &function, HANDLE physicalMonitor, const QString &colourType,
                     std::optional<MonitorControl> control, LPDWORD minimum, LPDWORD current,
                     LPDWORD maximum);
    BOOL writeControl(const QString &function, HANDLE physicalMonitor, const QString &colourType,
                      std::optional<MonitorControl> control, DWORD value);
    QList<int> pathOwners() const;
    bool refusesFlags(UINT32 flags) const;

    Delays m_delays;
    QList<DisplayMonitor> m_displayMonitors;
    bool m_predatingVirtualModes = false;
    bool m_configurationDenied = false;
    std::optional<int> m_handleZeroOwner;
    bool m_recording = false;
    QStringList m_calls;
    std::map<HANDLE, PhysicalMonitorId> m_openHandles;
    quintptr m_lastPhysicalHandle = 0x10000;
    bool m_displaysChanged = false;
    int m_displayMode = 0;
};
