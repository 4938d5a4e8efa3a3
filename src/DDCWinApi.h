#pragma once

#include "DDCApi.h"
#include "DDCReadPolicy.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QTimer>

#include <array>
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

    // The current value, or 0 when the monitor gave no reading.
    uint getBrightness(uint index);
    uint getContrast(uint index);
    // Channels that gave no reading are left default.
    DDCRgbValue getRgbDrive(uint index);
    DDCRgbValue getRgbGain(uint index);

    void refresh();

protected:
    // Only instance() creates the backend in the program.
    DDCWinApi();

    QList<MonitorIdentity> monitorIdentities() const override;

private:
    struct Reading
    {
        DDCValue named(const QString &name) const;

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

    // The entries of one monitor that a write can change: a colour control has
    // one per channel, by colour type.
    enum Entry {
        BrightnessEntry,
        ContrastEntry,
        RgbDriveEntries,
        RgbGainEntries = RgbDriveEntries + 3,
        EntryCount = RgbGainEntries + 3
    };

    static BOOL CALLBACK monitorEnumProc(HMONITOR hMonitor, HDC hdc, LPRECT rect,
                                         LPARAM applicationValue);
    static bool fillPathInfo(const MONITORINFOEXW &info, DISPLAYCONFIG_PATH_INFO &pathInfo);

    template <typename Read>
    std::optional<Reading> readUnderPolicy(uint index, Read read);
    bool isMonitorIndex(uint index) const;
    quint64 &writeCount(uint index, int entry);

    std::optional<Reading> readLevel(uint index, ReadLevel read);
    void appendLevels(QList<DDCValue> &list, const QString &name, ReadLevel read);
    uint currentLevel(uint index, ReadLevel read);
    void refreshLevel(uint index, ReadLevel read, QList<DDCValue> &list, ChangeSignal changed,
                      Entry entry);
    void writeLevel(uint index, uint value, WriteLevel write, QList<DDCValue> &list,
                    ChangeSignal changed, Entry entry);

    template <typename ColourType>
    std::optional<Reading> readChannel(uint index, ReadColour<ColourType> read, ColourType type);
    template <typename ColourType>
    DDCRgbValue readColour(uint index, const QString &name, ReadColour<ColourType> read,
                           const ColourType (&readOrder)[3]);
    template <typename ColourType>
    void refreshColour(uint index, ReadColour<ColourType> read, const ColourType (&readOrder)[3],
                       QList<DDCRgbValue> &list, ChangeSignal changed, Entry firstEntry);
    template <typename ColourType>
    void writeColour(uint index, const DDCRgbValue &value, WriteColour<ColourType> write,
                     const ColourType (&writeOrder)[3], QList<DDCRgbValue> &list,
                     ChangeSignal changed, Entry firstEntry);

    QList<MonitorData> m_monitors;
    QTimer m_timer;
    DDCReadPolicy m_readPolicy;
    // Successful writes per monitor and entry, so that a reading taken before
    // one is known to be older than the value it wrote.
    QList<std::array<quint64, EntryCount>> m_writeCounts;
    bool m_refreshing = false;
};
