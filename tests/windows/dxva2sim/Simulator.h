#pragma once

#include "Settings.h"

#include <windows.h>

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// mingw-w64's headers lack the monitor errors.
constexpr DWORD notAnswering = 0xC0262582; // ERROR_GRAPHICS_I2C_ERROR_TRANSMITTING_DATA
constexpr DWORD vcpNotSupported = 0xC0262584; // ERROR_GRAPHICS_DDCCI_VCP_NOT_SUPPORTED
constexpr DWORD invalidHandle = 0xC026258C; // ERROR_GRAPHICS_INVALID_PHYSICAL_MONITOR_HANDLE
constexpr DWORD noLongerExists = 0xC026258D; // ERROR_GRAPHICS_MONITOR_NO_LONGER_EXISTS
constexpr DWORD onlyConsoleSession = 0xC02625E0; // ERROR_GRAPHICS_ONLY_CONSOLE_SESSION_SUPPORTED
// Microsoft's page on the high-level functions names ERROR_DISABLED_MONITOR_SETTING
// for a setting that another one disabled, but no header here gives its value.
// Varno knows no error of a setting by its value but "unsupported", so any
// other serves: this one says what it means.
constexpr DWORD disabledSetting = ERROR_NOT_SUPPORTED;

// The simulated monitors: what the test's settings make of them, the handles
// handed out, and the values written. Safe to use from several threads.
class Simulator
{
public:
    // Reads the settings file, if any, and the state it names; false, having
    // said why, when either cannot be used.
    bool load(const char *settingsFile);
    // Tells the handles that were handed out and never destroyed.
    void reportLeaks();
    int openHandles();
    void log(const std::string &line);
    bool isRemoteSession() const;

    // The handles of the physical monitors behind \\.\DISPLAYn, in order.
    std::vector<Handle> handlesBehind(int display) const;
    std::wstring description(Handle handle) const;
    void open(const std::vector<Handle> &handles, int display);
    // False if the handle is not open. Handles that a change of display mode
    // ended are released first.
    bool destroy(Handle handle);
    // Ends every handle handed out, as Windows does when the display mode
    // changes; the same monitors are handed out again, through new handles.
    void changeDisplayMode();
    // Why a call through the handle cannot reach its monitor, if it cannot.
    // Counts the call: the one that the settings name changes the mode first.
    std::optional<DWORD> handleError(Handle handle);

    // The error of a read or write, or none when the monitor takes it.
    std::optional<DWORD> readError(Handle handle, Control control);
    std::optional<DWORD> writeError(Handle handle, Control control);
    // The error of a capabilities query, or none; then the MC_CAPS_ bits of
    // the monitor's controls.
    std::optional<DWORD> capabilitiesError(Handle handle);
    DWORD capabilities(Handle handle);

    // Every control's range starts at 0.
    DWORD maximum(Handle handle);
    DWORD value(Handle handle, Control control);
    void setValue(Handle handle, Control control, DWORD value);

private:
    // A handle's copies that were handed out and not destroyed: those that
    // reach the monitor, and those that a change of display mode ended.
    struct Copies
    {
        int reaching = 0;
        int ended = 0;
    };

    Settings m_settings;
    // By "monitorH.control", as the state file has them.
    std::map<std::string, DWORD> m_values;
    std::map<Handle, Copies> m_open;
    std::map<Handle, int> m_displays;
    std::map<Handle, int> m_readsMissed;
    std::map<Handle, int> m_writesDropped;
    int m_handleCalls = 0;
    bool m_modeChanged = false;
    std::mutex m_mutex;
};
