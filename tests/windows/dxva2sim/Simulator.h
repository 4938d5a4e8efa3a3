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

// The simulated monitors: what the test's settings make of them, the handles
// handed out, and the values written. Safe to use from several threads.
class Simulator
{
public:
    static constexpr DWORD maximum = 100;

    // Reads the settings file, if any, and the state it names; false, having
    // said why, when either cannot be used.
    bool load(const char *settingsFile);
    // Tells the handles that were handed out and never destroyed.
    void reportLeaks();
    int openHandles();
    void log(const std::string &line);

    // The handles of the physical monitors behind \\.\DISPLAYn, in order.
    std::vector<Handle> handlesBehind(int display) const;
    void open(const std::vector<Handle> &handles, int display);
    // False if the handle is not open.
    bool destroy(Handle handle);
    bool isOpen(Handle handle);

    // The error of a read or write, or none when the monitor takes it.
    std::optional<DWORD> readError(Handle handle, Control control);
    std::optional<DWORD> writeError(Handle handle, Control control);

    DWORD value(Handle handle, Control control);
    void setValue(Handle handle, Control control, DWORD value);

private:
    Settings m_settings;
    // By "monitorH.control", as the state file has them.
    std::map<std::string, DWORD> m_values;
    // How often each handle was handed out and not destroyed.
    std::map<Handle, int> m_open;
    std::map<Handle, int> m_displays;
    std::map<Handle, int> m_readsMissed;
    std::mutex m_mutex;
};
