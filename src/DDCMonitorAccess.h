#pragma once

#include "DDCReadPolicy.h"
#include "MonitorDiscovery.h"
#include "MonitorIdentity.h"
#include "platform/NoMonitorReason.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QtGlobal>

#include <array>
#include <functional>
#include <optional>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <highlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>
#include <setupapi.h>
#else
#include "win32-standin/win32shim.h"
#endif

struct MonitorData;
struct MonitorState;

// The monitors as the platform reaches them, for the window and the command
// line alike: discovery through MonitorDiscovery, reads and writes through
// the Monitor Configuration API, every read under DDCReadPolicy. The
// monitors live in a list that the owner of the access holds, one record a
// monitor with all that is known of it; their physical monitors are released
// when the access ends.
class DDCMonitorAccess
{
public:
    // What one read or write reaches. A colour control has one per channel, in
    // the order of the colour types (red 0, green 1, blue 2).
    enum Control {
        Brightness,
        Contrast,
        RedDrive,
        GreenDrive,
        BlueDrive,
        RedGain,
        GreenGain,
        BlueGain,
        ControlCount
    };

    struct Reading
    {
        bool answered() const;

        DDCReadPolicy::Outcome outcome = DDCReadPolicy::Outcome::Failed;
        DWORD minimum = 0;
        DWORD current = 0;
        DWORD maximum = 0;
    };

    // What a write did. Unanswered: the message was lost on the bus, twice.
    // Lost: the handle no longer reaches the monitor, which was not asked.
    enum class Write { Taken, Refused, Unanswered, Lost };

    // `afterAttempt` runs after every attempt of a read, and while one waits; `handleEnded` when
    // Windows ended a monitor's handle, as it does when the display mode
    // changes: the monitors are reached again only through fresh ones.
    explicit DDCMonitorAccess(QList<MonitorData> &monitors, std::function<void()> afterAttempt = {},
                              std::function<void()> handleEnded = {});
    ~DDCMonitorAccess();

    // Appends every physical monitor of the desktop, in the platform's order,
    // those that the platform knows not to answer included, each with who it
    // is; built-in panels are left out.
    void discover();
    // Discovers again, after monitors were attached or detached. Returns, for
    // each monitor now listed, its index before, or -1 when it is new; a
    // monitor is known again by who it is, never by its position, and keeps
    // its whole record but its handles. Every physical monitor taken before
    // is released and every listed monitor is reached through one taken
    // afresh: a monitor that was off may no longer answer through the old
    // one, nor any monitor after a change of display mode.
    QList<qsizetype> rediscover();
    // Who the monitor is, as the same text for as long as it stays attached
    // and whenever it returns: where it is attached (its device, or its
    // display) and what its EDID says of it (else its name).
    static QString identityKey(const MonitorData &monitor);
    // Where the monitor is attached, for the user: its display's GDI device
    // name (on Linux, its connector), with the monitor's place behind a
    // display duplicated on several ("\\.\DISPLAY1#2").
    static QString connector(const MonitorData &monitor);
    // Takes fresh handles for the monitors listed, each known by who it is;
    // the list stays as it is, and a monitor no longer there keeps none.
    void renewHandles();
#ifndef _WIN32
    // Whether the display system knows of displays attached or detached since
    // the last discovery; Windows tells the window through Qt's screens
    // instead.
    bool displaysChanged() const;
#endif

    // Starts a pass of reads of a monitor (see DDCReadPolicy), or of all.
    void beginPass(uint index);
    void beginPass();
    // A reading that cannot be (current value above the maximum) is no
    // answer, and one of a maximum of 0 says the control is unsupported;
    // values come only with an answer. An answer becomes the monitor's last
    // reading of the control, unless a write to the control went through
    // while the read was made: then it is older than what the monitor holds.
    Reading read(uint index, Control control);
    // Decides, with one more read, whether a monitor whose last read failed
    // lacks that control or does not answer; reads come in passes, and the
    // next one would tell.
    void settle(uint index);
    // Whether the monitor answered its reads of this pass, so far.
    bool isAnswering(uint index) const;
    // A value taken is the monitor's last reading. A write whose message was
    // lost on the bus is made once more, after a pause; one refused, never.
    Write write(uint index, Control control, uint value);

    // What the platform found that keeps monitors from being listed, named
    // or reached, one sentence a reason, for the user; empty where it tells
    // nothing.
    QStringList platformAdvice() const;
    // Why discovery found no monitor, as far as the platform can tell.
    NoMonitorReason noMonitorReason() const;

private:
    Q_DISABLE_COPY(DDCMonitorAccess)

    void pause(int milliseconds);
    void askCapabilities(uint index);
    std::optional<Control> settlingControl(uint index, bool answered) const;
    void endHandle(uint index);
    static Write writeOnce(HANDLE monitor, Control control, uint value);
    static void takeStanding(MonitorState &state, DDCReadPolicy::Standing standing,
                             Control control);
    QList<MonitorData> enumerate();

    QList<MonitorData> &m_monitors;
    std::function<void()> m_afterAttempt;
    std::function<void()> m_handleEnded;
    DDCReadPolicy m_readPolicy;
    MonitorDiscovery m_discovery;
};

// What Varno learned of a monitor by reading and writing it: kept for as long
// as the monitor stays listed.
struct MonitorState
{
    DDCReadPolicy::Standing standing = DDCReadPolicy::Standing::Answering;
    // The controls the monitor last reported it does not have, or failed to
    // read while it answered others, one bit per Control.
    uint unsupportedControls = 0;
    // Whether Windows gave the monitor's capabilities, or it answered reads
    // without them.
    bool capabilitiesAsked = false;
    // The controls whose capability bits Windows left out: never read.
    uint withoutCapability = 0;
    // The control whose read failed every attempt last, while it is not yet
    // known whether the control or the monitor is at fault.
    std::optional<DDCMonitorAccess::Control> failedControl;
    // Of each control: the last answer, or the value last written since.
    std::array<DDCMonitorAccess::Reading, DDCMonitorAccess::ControlCount> readings;
    // Values each control took, so that a reading taken meanwhile is known to
    // be older.
    std::array<quint64, DDCMonitorAccess::ControlCount> writes{};
};

// One display monitor: who and where it is, as discovered, and all that its
// reads and writes told.
struct MonitorData
{
    QString displayName;
    QString gdiDeviceName;
    HMONITOR hMonitor = nullptr;
    // None when the display has no physical monitor; a handle of value 0 is a
    // valid one.
    std::optional<HANDLE> physicalMonitor;
    // Windows ended the handle: nothing is asked through it any more.
    bool handleEnded = false;
    // Its place behind a display duplicated on several monitors (1, 2, ...),
    // else 0.
    int physicalMonitorNumber = 0;
    MonitorIdentity identity; // from the EDID that Windows keeps for the monitor
    // Of its display-configuration target: names the monitor's device (the
    // connector, on Linux). Empty when the target was not found.
    QString devicePath;
    MonitorState state;
};
