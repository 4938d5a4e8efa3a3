#pragma once

#include "DDCApi.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QTimer>

#include <bitset>
#include <optional>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <highlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>
#else
#include "win32shim/win32shim.h"
#endif

// One display monitor as discovered at start-up.
struct MonitorData
{
    QString displayName;
    QString gdiDeviceName;
    HMONITOR hMonitor = nullptr;
    HANDLE physicalMonitor = nullptr;
    QString devicePath; // the monitor's device path from the display configuration
};

// The monitor backend over the Windows Monitor Configuration API (DDC/CI).
class DDCWinApi : public DDCApi
{
    Q_OBJECT

public:
    // Colour channels by colour type: red 0, green 1, blue 2.
    using ColourChannels = std::bitset<3>;

    static DDCWinApi *instance();
    ~DDCWinApi() override;

    void init() override;
    uint monitorCount() override;
    QString monitorName(uint index) override;

    void setBrightness(uint index, uint value) override;
    void setContrast(uint index, uint value) override;
    void setRgbDrive(uint index, const DDCRgbValue &value) override;
    void setRgbGain(uint index, const DDCRgbValue &value) override;

    void readBrightness();
    void readContrast();
    void readRgbDrive();
    void readRgbGain();

    // The current value, or 0 when the monitor did not answer; *answered tells
    // the two apart.
    uint getBrightness(uint index, bool *answered = nullptr);
    uint getContrast(uint index, bool *answered = nullptr);
    // Channels that did not answer are left default and unset in *answered.
    DDCRgbValue getRgbDrive(uint index, ColourChannels *answered = nullptr);
    DDCRgbValue getRgbGain(uint index, ColourChannels *answered = nullptr);

    void refresh();

protected:
    // Only instance() creates the backend in the program.
    DDCWinApi();

    QList<MonitorIdentity> monitorIdentities() const override;

private:
    struct Reading
    {
        DWORD minimum = 0;
        DWORD current = 0;
        DWORD maximum = 0;
    };
    using ReadLevel = BOOL(WINAPI *)(HANDLE, LPDWORD, LPDWORD, LPDWORD);
    using WriteLevel = BOOL(WINAPI *)(HANDLE, DWORD);
    template <typename ColourType>
    using ReadColour = BOOL(WINAPI *)(HANDLE, ColourType, LPDWORD, LPDWORD, LPDWORD);
    template <typename ColourType>
    using WriteColour = BOOL(WINAPI *)(HANDLE, ColourType, DWORD);
    using ChangeSignal = void (DDCApi::*)();

    static BOOL CALLBACK monitorEnumProc(HMONITOR hMonitor, HDC hdc, LPRECT rect,
                                         LPARAM applicationValue);
    static bool fillPathInfo(const MONITORINFOEXW &info, DISPLAYCONFIG_PATH_INFO &pathInfo);

    template <typename Read>
    static std::optional<Reading> readWithRetry(Read read);
    bool isMonitorIndex(uint index) const;
    std::optional<Reading> readLevel(uint index, ReadLevel read);
    void appendLevels(QList<DDCValue> &list, const QString &name, ReadLevel read);
    uint currentLevel(uint index, ReadLevel read, bool *answered);
    void refreshLevel(uint index, uint (DDCWinApi::*get)(uint, bool *), QList<DDCValue> &list,
                      ChangeSignal changed);
    void writeLevel(uint index, uint value, WriteLevel write, QList<DDCValue> &list,
                    ChangeSignal changed);

    template <typename ColourType>
    DDCRgbValue readColour(uint index, const QString &name, ReadColour<ColourType> read,
                           const ColourType (&readOrder)[3], ColourChannels *answered);
    void refreshColour(uint index, DDCRgbValue (DDCWinApi::*get)(uint, ColourChannels *),
                       QList<DDCRgbValue> &list, ChangeSignal changed);
    template <typename ColourType>
    void writeColour(uint index, const DDCRgbValue &value, WriteColour<ColourType> write,
                     const ColourType (&writeOrder)[3], QList<DDCRgbValue> &list,
                     ChangeSignal changed);

    QList<MonitorData> m_monitors;
    QTimer m_timer;
};
