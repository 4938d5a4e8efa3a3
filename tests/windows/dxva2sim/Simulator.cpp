#include "Simulator.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>

namespace {

// The demo's levels, in the order of the controls; the second for the
// dimmer displays.
constexpr std::array<std::array<DWORD, ControlCount>, 2> demoLevels = {
    {{70, 75, 50, 50, 50, 100, 100, 100}, {40, 60, 45, 45, 45, 90, 90, 90}}};

// GetMonitorCapabilities' bit of each group of controls.
constexpr std::array<DWORD, CapabilityCount> capabilityBits = {0x02, 0x04, 0x20, 0x10};

std::string valueName(Handle handle, Control control)
{
    return "monitor" + std::to_string(handle) + "." + controlNames[control];
}

} // namespace

bool Simulator::load(const char *settingsFile)
{
    if (settingsFile
        && !readLines(settingsFile, [this](const std::string &name, const std::string &value) {
               return takeSetting(m_settings, name, value);
           }))
        return false;
    // The state comes into being with the first write.
    return !std::ifstream(m_settings.state)
        || readLines(m_settings.state, [this](const std::string &name, const std::string &value) {
               const auto level = number(value);
               if (level)
                   m_values[name] = DWORD(*level);
               return level.has_value();
           });
}

void Simulator::reportLeaks()
{
    std::string leaks;
    for (const auto &[handle, copies] : m_open)
        for (int times = 0; times < copies.reaching + copies.ended; ++times)
            leaks += "monitor" + std::to_string(handle) + "\n";
    if (!m_settings.leaks.empty())
        std::ofstream(m_settings.leaks) << leaks;
    else if (!leaks.empty())
        std::fprintf(stderr, "dxva2sim: physical monitors never destroyed:\n%s", leaks.c_str());
}

int Simulator::openHandles()
{
    std::lock_guard lock(m_mutex);
    int count = 0;
    for (const auto &[handle, copies] : m_open)
        count += copies.reaching + copies.ended;
    return count;
}

void Simulator::log(const std::string &line)
{
    std::lock_guard lock(m_mutex);
    if (!m_settings.log.empty())
        std::ofstream(m_settings.log, std::ios::app) << line << "\n";
}

bool Simulator::isRemoteSession() const
{
    return m_settings.remoteSession;
}

std::vector<Handle> Simulator::handlesBehind(int display) const
{
    const auto found = m_settings.displays.find(display);
    return found == m_settings.displays.end() ? std::vector<Handle>{Handle(display)}
                                              : found->second;
}

std::wstring Simulator::description(Handle handle) const
{
    const auto found = m_settings.monitors.find(handle);
    return found == m_settings.monitors.end() ? MonitorSettings().description
                                              : found->second.description;
}

void Simulator::open(const std::vector<Handle> &handles, int display)
{
    std::lock_guard lock(m_mutex);
    for (const Handle handle : handles) {
        ++m_open[handle].reaching;
        m_displays[handle] = display;
    }
}

bool Simulator::destroy(Handle handle)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_open.find(handle);
    if (found == m_open.end())
        return false;
    Copies &copies = found->second;
    --(copies.ended > 0 ? copies.ended : copies.reaching);
    if (copies.reaching + copies.ended == 0)
        m_open.erase(found);
    return true;
}

void Simulator::changeDisplayMode()
{
    std::lock_guard lock(m_mutex);
    for (auto &[handle, copies] : m_open) {
        copies.ended += copies.reaching;
        copies.reaching = 0;
    }
    m_modeChanged = true;
}

std::optional<DWORD> Simulator::handleError(Handle handle)
{
    if (m_settings.modeChangeAfter && ++m_handleCalls == *m_settings.modeChangeAfter)
        changeDisplayMode();
    std::lock_guard lock(m_mutex);
    if (m_settings.remoteSession)
        return onlyConsoleSession;
    const auto found = m_open.find(handle);
    if (found == m_open.end())
        return invalidHandle;
    if (found->second.reaching == 0)
        return noLongerExists;
    return {};
}

std::optional<DWORD> Simulator::readError(Handle handle, Control control)
{
    std::lock_guard lock(m_mutex);
    const MonitorSettings &monitor = m_settings.monitors[handle];
    if (monitor.silent || m_readsMissed[handle]++ < monitor.missesReads)
        return notAnswering;
    if (monitor.unsupported[control])
        return vcpNotSupported;
    if (monitor.disabled[control])
        return disabledSetting;
    return {};
}

std::optional<DWORD> Simulator::writeError(Handle handle, Control control)
{
    std::lock_guard lock(m_mutex);
    const MonitorSettings &monitor = m_settings.monitors[handle];
    if (monitor.silent || m_writesDropped[handle]++ < monitor.dropsWrites)
        return notAnswering;
    if (monitor.unsupported[control])
        return vcpNotSupported;
    if (monitor.disabled[control] || monitor.refusesWrites)
        return disabledSetting;
    return {};
}

// A monitor that does not answer cannot tell what it has.
std::optional<DWORD> Simulator::capabilitiesError(Handle handle)
{
    std::lock_guard lock(m_mutex);
    if (m_settings.monitors[handle].silent)
        return notAnswering;
    return {};
}

DWORD Simulator::capabilities(Handle handle)
{
    std::lock_guard lock(m_mutex);
    DWORD bits = 0;
    for (int capability = 0; capability < CapabilityCount; ++capability) {
        if (m_settings.monitors[handle].capabilities[std::size_t(capability)])
            bits |= capabilityBits[std::size_t(capability)];
    }
    return bits;
}

// A change of display mode may change a range.
DWORD Simulator::maximum(Handle handle)
{
    std::lock_guard lock(m_mutex);
    const MonitorSettings &monitor = m_settings.monitors[handle];
    return DWORD(m_modeChanged ? monitor.newModeMaximum.value_or(monitor.maximum)
                               : monitor.maximum);
}

DWORD Simulator::value(Handle handle, Control control)
{
    const DWORD highest = maximum(handle);
    std::lock_guard lock(m_mutex);
    const auto found = m_values.find(valueName(handle, control));
    if (found != m_values.end())
        return std::min(found->second, highest);
    const bool dimmer = m_displays[handle] % 2 == 0;
    return std::min(demoLevels[dimmer][control], highest);
}

void Simulator::setValue(Handle handle, Control control, DWORD value)
{
    std::lock_guard lock(m_mutex);
    m_values[valueName(handle, control)] = value;
    if (m_settings.state.empty())
        return;
    std::ofstream state(m_settings.state);
    for (const auto &[name, level] : m_values)
        state << name << " = " << level << "\n";
}
