// A dxva2.dll for running the Windows build under Wine, whose own dxva2
// fails every call. Behind each display monitor it simulates DDC/CI monitors
// with a real monitor's delays (40 ms to answer a read, 50 ms to take a
// write), ranges of 0 to 100, and the demo's levels (\\.\DISPLAY2 and every
// even display dimmer than the others). It does what Microsoft's
// documentation says real Windows and real monitors do: a change of display
// mode ends every physical-monitor handle (calls through one fail with
// ERROR_GRAPHICS_MONITOR_NO_LONGER_EXISTS) and may change the ranges; a
// monitor may lack controls (GetMonitorCapabilities leaves their bits out),
// disable a setting, or answer 0 of 0; outside the console session every
// call fails with ERROR_GRAPHICS_ONLY_CONSOLE_SESSION_SUPPORTED.
//
// VARNO_DXVA2SIM names a settings file of "name = value" lines ('#' begins a
// comment); without it, each display has one monitor that answers. A test
// program may start another simulation (SimulateMonitors, below). A setting
// the simulator does not know keeps the DLL from loading, so that no test
// runs on a setting it only thinks it made.
//   log = FILE                     a line for every call, appended
//   leaks = FILE                   written when the simulation ends: a line
//                                  "monitorH" for each time handle H was
//                                  handed out and not destroyed; empty when
//                                  none was left open
//   state = FILE                   the values, read at load and rewritten
//                                  after every write, so that one process
//                                  reads what another wrote; "monitorH.C = V"
//   displayN = H...                the handles of the monitors behind
//                                  \\.\DISPLAYN, in order, none if empty;
//                                  by default one, whose handle is N; several
//                                  are a duplicated (cloned) display
//   session = remote               not the console session (or: console)
//   mode-change-after = N          the display mode changes before the Nth
//                                  call through a physical-monitor handle
//   monitorH.silent = yes          every read, write and capabilities query
//                                  fails unanswered
//   monitorH.misses-reads = N      so do the first N reads
//   monitorH.drops-writes = N      and the first N writes
//   monitorH.refuses-writes = yes  every write fails: the setting is disabled
//   monitorH.unsupported = C...    these controls are reported unsupported
//   monitorH.disabled = C...       these controls are disabled settings
//   monitorH.capabilities = G...   the capability bits given, of the groups
//                                  brightness, contrast, drive and gain; by
//                                  default all four
//   monitorH.maximum = N           every control's maximum (100 by default;
//                                  a current value above it reads as it)
//   monitorH.new-mode-maximum = N  the maximum once the display mode changed
//   monitorH.description = TEXT    its description (UTF-8), by default
//                                  "Generic PnP Monitor"
// H is a handle's value (0 is one, as on Windows), C a control: brightness,
// contrast, red-drive, green-drive, blue-drive, red-gain, green-gain,
// blue-gain. Handed out again after a change of display mode, a handle keeps
// its value. Files may be given as Unix paths when the program runs outside
// the Wine prefix (its current drive is then Z:, the Unix root).
#include "Simulator.h"

#include <windows.h>
#include <highlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr DWORD readDelay = 40;
constexpr DWORD writeDelay = 50;

// Made anew for each simulation.
std::optional<Simulator> simulator;

bool simulate(const char *settingsFile)
{
    if (simulator)
        simulator->reportLeaks();
    simulator.emplace();
    return simulator->load(settingsFile);
}

// One call into the DLL. The simulator's own work (files, user32) may set
// the thread's last error; the caller must find the error that Windows would
// leave: the one of the failure, or else the one from before the call.
class Call
{
public:
    Call() : m_callerError(GetLastError()) { }

    ~Call()
    {
        simulator->log(m_text + " -> " + m_outcome);
        SetLastError(m_error.value_or(m_callerError));
    }

    // What the log tells of the call.
    void describe(const std::string &text)
    {
        m_text = text;
    }

    BOOL fail(DWORD error)
    {
        char code[16];
        std::snprintf(code, sizeof(code), "0x%08lX", error);
        m_outcome = std::string("failed ") + code;
        m_error = error;
        return FALSE;
    }

    BOOL succeed(const std::string &outcome)
    {
        m_outcome = outcome;
        return TRUE;
    }

private:
    std::string m_text;
    std::string m_outcome;
    DWORD m_callerError;
    std::optional<DWORD> m_error;
};

Handle handleValue(HANDLE handle)
{
    return reinterpret_cast<Handle>(handle);
}

// The N of \\.\DISPLAYN that the display monitor is.
std::optional<int> displayNumber(HMONITOR monitor)
{
    MONITORINFOEXW info = {};
    info.cbSize = sizeof(info);
    const wchar_t prefix[] = L"\\\\.\\DISPLAY";
    const size_t length = std::wcslen(prefix);
    if (!GetMonitorInfoW(monitor, &info) || std::wcsncmp(info.szDevice, prefix, length) != 0)
        return {};
    return int(std::wcstol(info.szDevice + length, nullptr, 10));
}

std::string displayText(HMONITOR monitor)
{
    const auto display = displayNumber(monitor);
    return display ? "DISPLAY" + std::to_string(*display) : "an unknown display";
}

std::string handleText(HANDLE handle)
{
    return "monitor" + std::to_string(handleValue(handle));
}

std::optional<Control> colourControl(Control red, int type)
{
    return type >= 0 && type < 3 ? std::optional<Control>(Control(red + type)) : std::nullopt;
}

BOOL readControl(const char *function, HANDLE handle, std::optional<Control> control,
                 LPDWORD minimum, LPDWORD current, LPDWORD maximum)
{
    Call call;
    call.describe(std::string(function) + "(" + handleText(handle)
                  + (control ? std::string(", ") + controlNames[*control] : "") + ")");
    if (!control || !minimum || !current || !maximum)
        return call.fail(ERROR_INVALID_PARAMETER);
    if (const auto error = simulator->handleError(handleValue(handle)))
        return call.fail(*error);
    Sleep(readDelay);
    if (const auto error = simulator->readError(handleValue(handle), *control))
        return call.fail(*error);
    *minimum = 0;
    *current = simulator->value(handleValue(handle), *control);
    *maximum = simulator->maximum(handleValue(handle));
    return call.succeed(std::to_string(*current) + " of 0.." + std::to_string(*maximum));
}

BOOL writeControl(const char *function, HANDLE handle, std::optional<Control> control, DWORD value)
{
    Call call;
    call.describe(std::string(function) + "(" + handleText(handle)
                  + (control ? std::string(", ") + controlNames[*control] : "") + ", "
                  + std::to_string(value) + ")");
    if (!control)
        return call.fail(ERROR_INVALID_PARAMETER);
    if (const auto error = simulator->handleError(handleValue(handle)))
        return call.fail(*error);
    if (value > simulator->maximum(handleValue(handle)))
        return call.fail(ERROR_INVALID_PARAMETER);
    Sleep(writeDelay);
    if (const auto error = simulator->writeError(handleValue(handle), *control))
        return call.fail(*error);
    simulator->setValue(handleValue(handle), *control, value);
    return call.succeed("done");
}

} // namespace

// The exported functions, with the signatures of Windows' headers; dxva2.def
// gives their names.

BOOL WINAPI GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR monitor, LPDWORD count)
{
    Call call;
    call.describe("GetNumberOfPhysicalMonitorsFromHMONITOR(" + displayText(monitor) + ")");
    const auto display = displayNumber(monitor);
    if (!count)
        return call.fail(ERROR_INVALID_PARAMETER);
    if (!display)
        return call.fail(ERROR_INVALID_MONITOR_HANDLE);
    if (simulator->isRemoteSession())
        return call.fail(onlyConsoleSession);
    *count = DWORD(simulator->handlesBehind(*display).size());
    return call.succeed(std::to_string(*count));
}

BOOL WINAPI GetPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD size,
                                            LPPHYSICAL_MONITOR monitors)
{
    Call call;
    call.describe("GetPhysicalMonitorsFromHMONITOR(" + displayText(monitor) + ", "
                  + std::to_string(size) + ")");
    const auto display = displayNumber(monitor);
    if (!display)
        return call.fail(ERROR_INVALID_MONITOR_HANDLE);
    if (simulator->isRemoteSession())
        return call.fail(onlyConsoleSession);
    const std::vector<Handle> handles = simulator->handlesBehind(*display);
    if (!monitors || size == 0 || size != handles.size())
        return call.fail(ERROR_INVALID_PARAMETER);
    std::string given;
    for (DWORD index = 0; index < size; ++index) {
        monitors[index] = {};
        monitors[index].hPhysicalMonitor = reinterpret_cast<HANDLE>(handles[index]);
        std::wcsncpy(monitors[index].szPhysicalMonitorDescription,
                     simulator->description(handles[index]).c_str(),
                     PHYSICAL_MONITOR_DESCRIPTION_SIZE - 1);
        given += (index ? " " : "") + handleText(monitors[index].hPhysicalMonitor);
    }
    simulator->open(handles, *display);
    return call.succeed(given);
}

BOOL WINAPI DestroyPhysicalMonitor(HANDLE handle)
{
    Call call;
    call.describe("DestroyPhysicalMonitor(" + handleText(handle) + ")");
    return simulator->destroy(handleValue(handle)) ? call.succeed("done")
                                                   : call.fail(invalidHandle);
}

BOOL WINAPI DestroyPhysicalMonitors(DWORD size, LPPHYSICAL_MONITOR monitors)
{
    Call call;
    call.describe("DestroyPhysicalMonitors(" + std::to_string(size) + ")");
    if (!monitors || size == 0)
        return call.fail(ERROR_INVALID_PARAMETER);
    bool destroyed = true;
    for (DWORD index = 0; index < size; ++index)
        destroyed = DestroyPhysicalMonitor(monitors[index].hPhysicalMonitor) && destroyed;
    return destroyed ? call.succeed("done") : call.fail(invalidHandle);
}

// Windows reads the capabilities string over DDC/CI; only a monitor that
// answers can give it.
BOOL WINAPI GetMonitorCapabilities(HANDLE monitor, LPDWORD capabilities, LPDWORD colourTemperatures)
{
    Call call;
    call.describe("GetMonitorCapabilities(" + handleText(monitor) + ")");
    if (!capabilities || !colourTemperatures)
        return call.fail(ERROR_INVALID_PARAMETER);
    if (const auto error = simulator->handleError(handleValue(monitor)))
        return call.fail(*error);
    Sleep(readDelay);
    if (const auto error = simulator->capabilitiesError(handleValue(monitor)))
        return call.fail(*error);
    *capabilities = simulator->capabilities(handleValue(monitor));
    *colourTemperatures = 0;
    char bits[16];
    std::snprintf(bits, sizeof(bits), "0x%02lX", *capabilities);
    return call.succeed(bits);
}

BOOL WINAPI GetMonitorBrightness(HANDLE monitor, LPDWORD minimum, LPDWORD current, LPDWORD maximum)
{
    return readControl(__func__, monitor, Brightness, minimum, current, maximum);
}

BOOL WINAPI GetMonitorContrast(HANDLE monitor, LPDWORD minimum, LPDWORD current, LPDWORD maximum)
{
    return readControl(__func__, monitor, Contrast, minimum, current, maximum);
}

BOOL WINAPI GetMonitorRedGreenOrBlueDrive(HANDLE monitor, MC_DRIVE_TYPE type, LPDWORD minimum,
                                          LPDWORD current, LPDWORD maximum)
{
    return readControl(__func__, monitor, colourControl(RedDrive, type), minimum, current, maximum);
}

BOOL WINAPI GetMonitorRedGreenOrBlueGain(HANDLE monitor, MC_GAIN_TYPE type, LPDWORD minimum,
                                         LPDWORD current, LPDWORD maximum)
{
    return readControl(__func__, monitor, colourControl(RedGain, type), minimum, current, maximum);
}

BOOL WINAPI SetMonitorBrightness(HANDLE monitor, DWORD value)
{
    return writeControl(__func__, monitor, Brightness, value);
}

BOOL WINAPI SetMonitorContrast(HANDLE monitor, DWORD value)
{
    return writeControl(__func__, monitor, Contrast, value);
}

BOOL WINAPI SetMonitorRedGreenOrBlueDrive(HANDLE monitor, MC_DRIVE_TYPE type, DWORD value)
{
    return writeControl(__func__, monitor, colourControl(RedDrive, type), value);
}

BOOL WINAPI SetMonitorRedGreenOrBlueGain(HANDLE monitor, MC_GAIN_TYPE type, DWORD value)
{
    return writeControl(__func__, monitor, colourControl(RedGain, type), value);
}

// Not Windows functions. A test program that cannot load the DLL anew for
// each of its tests ends the simulation, which then tells its leaks as at
// unload, and starts another from the settings file; FALSE if it cannot be
// used.
extern "C" BOOL WINAPI SimulateMonitors(const char *settingsFile)
{
    return simulate(settingsFile);
}

// Changes the display mode, as a resolution or refresh rate set by the user
// or a full-screen game does.
extern "C" void WINAPI ChangeDisplayMode()
{
    simulator->changeDisplayMode();
    simulator->log("display mode changed");
}

// The physical-monitor handles that are open now.
extern "C" DWORD WINAPI OpenPhysicalMonitors()
{
    return DWORD(simulator->openHandles());
}

// Unusable settings keep the DLL, and so the program, from loading. The
// handles still open are told when the process ends.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        return simulate(std::getenv("VARNO_DXVA2SIM"));
    if (reason == DLL_PROCESS_DETACH)
        simulator->reportLeaks();
    return TRUE;
}
