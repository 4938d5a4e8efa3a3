#include "Simulator.h"

#include <array>
#include <cstdio>
#include <fstream>

namespace {

// The demo's levels, in the order of the controls; the second for the
// dimmer displays.
constexpr std::array<std::array<DWORD, ControlCount>, 2> demoLevels = {
    {{70, 75, 50, 50, 50, 100, 100, 100}, {40, 60, 45, 45, 45, 90, 90, 90}}};

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
    for (const auto &[handle, count] : m_open)
        for (int times = 0; times < count; ++times)
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
    for (const auto &[handle, times] : m_open)
        count += times;
    return count;
}

void Simulator::log(const std::string &line)
{
    std::lock_guard lock(m_mutex);
    if (!m_settings.log.empty())
        std::ofstream(m_settings.log, std::ios::app) << line << "\n";
}

std::vector<Handle> Simulator::handlesBehind(int display) const
{
    const auto found = m_settings.displays.find(display);
    return found == m_settings.displays.end() ? std::vector<Handle>{Handle(display)}
                                              : found->second;
}

void Simulator::open(const std::vector<Handle> &handles, int display)
{
    std::lock_guard lock(m_mutex);
    for (const Handle handle : handles) {
        ++m_open[handle];
        m_displays[handle] = display;
    }
}

bool Simulator::destroy(Handle handle)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_open.find(handle);
    if (found == m_open.end())
        return false;
    if (--found->second == 0)
        m_open.erase(found);
    return true;
}

bool Simulator::isOpen(Handle handle)
{
    std::lock_guard lock(m_mutex);
    return m_open.count(handle) != 0;
}

std::optional<DWORD> Simulator::readError(Handle handle, Control control)
{
    std::lock_guard lock(m_mutex);
    const MonitorSettings &monitor = m_settings.monitors[handle];
    if (monitor.silent || m_readsMissed[handle]++ < monitor.missesReads)
        return notAnswering;
    if (monitor.unsupported[control])
        return vcpNotSupported;
    return {};
}

std::optional<DWORD> Simulator::writeError(Handle handle, Control control)
{
    std::lock_guard lock(m_mutex);
    const MonitorSettings &monitor = m_settings.monitors[handle];
    if (monitor.silent || monitor.refusesWrites)
        return notAnswering;
    if (monitor.unsupported[control])
        return vcpNotSupported;
    return {};
}

DWORD Simulator::value(Handle handle, Control control)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_values.find(valueName(handle, control));
    if (found != m_values.end())
        return found->second;
    const bool dimmer = m_displays[handle] % 2 == 0;
    return demoLevels[dimmer][control];
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
