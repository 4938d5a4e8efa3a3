#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The controls that the Monitor Configuration calls reach, one per colour
// channel, in the order of the colour types (red 0, green 1, blue 2).
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
// The names that the settings, the state and the log give them.
extern const char *const controlNames[ControlCount];

// A physical monitor's handle value.
using Handle = std::uintptr_t;

// The groups of controls that the capability bits of GetMonitorCapabilities
// name, in the order of capabilityNames.
enum Capability {
    BrightnessCapability,
    ContrastCapability,
    DriveCapability,
    GainCapability,
    CapabilityCount
};
extern const char *const capabilityNames[CapabilityCount];

struct MonitorSettings
{
    bool silent = false;
    bool refusesWrites = false;
    int missesReads = 0;
    int dropsWrites = 0;
    std::bitset<ControlCount> unsupported;
    std::bitset<ControlCount> disabled;
    std::bitset<CapabilityCount> capabilities = std::bitset<CapabilityCount>().set();
    unsigned long maximum = 100;
    std::optional<unsigned long> newModeMaximum;
    std::wstring description = L"Generic PnP Monitor";
};

// A test's settings, as dxva2sim.cpp tells them.
struct Settings
{
    std::string log;
    std::string leaks;
    std::string state;
    bool remoteSession = false;
    std::optional<int> modeChangeAfter;
    std::map<int, std::vector<Handle>> displays;
    std::map<Handle, MonitorSettings> monitors;
};

// Calls `take(name, value)` for each "name = value" line of the file ('#'
// begins a comment); false, having said why, if the file cannot be read, a
// line is no setting, or `take` refuses one.
bool readLines(const std::string &path,
               const std::function<bool(const std::string &, const std::string &)> &take);

// Takes one setting; false if there is no such setting or the value does not
// fit it.
bool takeSetting(Settings &settings, const std::string &name, const std::string &value);

std::optional<unsigned long long> number(const std::string &text);
