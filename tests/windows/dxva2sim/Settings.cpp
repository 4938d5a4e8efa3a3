#include "Settings.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

const char *const capabilityNames[CapabilityCount] = {"brightness", "contrast", "drive", "gain"};

const char *const controlNames[ControlCount] = {"brightness",  "contrast",   "red-drive",
                                                "green-drive", "blue-drive", "red-gain",
                                                "green-gain",  "blue-gain"};

std::optional<unsigned long long> number(const std::string &text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return {};
    return std::stoull(text);
}

namespace {

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t\r");
    return first == std::string::npos
        ? ""
        : text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Sets the bits of the names that `value` lists; false if one is not among
// `names`.
template <std::size_t Count>
bool takeNames(std::bitset<Count> &bits, const char *const (&names)[Count],
               const std::string &value)
{
    bits.reset();
    std::istringstream words(value);
    std::string word;
    while (words >> word) {
        const auto named = std::find(std::begin(names), std::end(names), word);
        if (named == std::end(names))
            return false;
        bits.set(std::size_t(named - std::begin(names)));
    }
    return true;
}

// The settings files are UTF-8; descriptions are wide strings.
std::wstring wide(const std::string &text)
{
    std::wstring result(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), result.data(),
                                           int(result.size()));
    result.resize(std::size_t(std::max(length, 0)));
    return result;
}

bool takeMonitorSetting(MonitorSettings &monitor, const std::string &name, const std::string &value)
{
    if (name == "silent" || name == "refuses-writes") {
        (name == "silent" ? monitor.silent : monitor.refusesWrites) = value == "yes";
        return value == "yes" || value == "no";
    }
    const std::map<std::string, int MonitorSettings::*> counts = {
        {"misses-reads", &MonitorSettings::missesReads},
        {"drops-writes", &MonitorSettings::dropsWrites}};
    if (const auto count = counts.find(name); count != counts.end()) {
        monitor.*count->second = int(number(value).value_or(0));
        return number(value).has_value();
    }
    if (name == "maximum" || name == "new-mode-maximum") {
        const auto maximum = number(value);
        if (!maximum || *maximum > 0xFFFF)
            return false;
        if (name == "maximum")
            monitor.maximum = *maximum;
        else
            monitor.newModeMaximum = *maximum;
        return true;
    }
    if (name == "unsupported" || name == "disabled")
        return takeNames(name == "unsupported" ? monitor.unsupported : monitor.disabled,
                         controlNames, value);
    if (name == "capabilities")
        return takeNames(monitor.capabilities, capabilityNames, value);
    if (name == "description") {
        monitor.description = wide(value);
        return !value.empty();
    }
    return false;
}

bool takeHandles(std::vector<Handle> &handles, const std::string &value)
{
    std::istringstream values(value);
    std::string handle;
    while (values >> handle) {
        if (!number(handle))
            return false;
        handles.push_back(Handle(*number(handle)));
    }
    return true;
}

} // namespace

bool readLines(const std::string &path,
               const std::function<bool(const std::string &, const std::string &)> &take)
{
    std::ifstream file(path);
    if (!file) {
        std::fprintf(stderr, "dxva2sim: cannot read %s\n", path.c_str());
        return false;
    }
    std::string line;
    while (std::getline(file, line)) {
        line = trimmed(line.substr(0, line.find('#')));
        const auto equals = line.find('=');
        if (line.empty())
            continue;
        if (equals == std::string::npos
            || !take(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)))) {
            std::fprintf(stderr, "dxva2sim: %s: cannot use \"%s\"\n", path.c_str(), line.c_str());
            return false;
        }
    }
    return true;
}

bool takeSetting(Settings &settings, const std::string &name, const std::string &value)
{
    const std::map<std::string, std::string Settings::*> files = {
        {"log", &Settings::log}, {"leaks", &Settings::leaks}, {"state", &Settings::state}};
    if (const auto file = files.find(name); file != files.end()) {
        settings.*file->second = value;
        return !value.empty();
    }
    if (name == "session") {
        settings.remoteSession = value == "remote";
        return value == "remote" || value == "console";
    }
    if (name == "mode-change-after") {
        settings.modeChangeAfter = number(value);
        return settings.modeChangeAfter.has_value();
    }
    const auto numbered = [&](const std::string &kind) {
        return name.rfind(kind, 0) == 0
            ? number(name.substr(kind.size(), name.find('.') - kind.size()))
            : std::nullopt;
    };
    if (const auto display = numbered("display"); display && name.find('.') == std::string::npos)
        return takeHandles(settings.displays[int(*display)], value);
    if (const auto handle = numbered("monitor"); handle && name.find('.') != std::string::npos)
        return takeMonitorSetting(settings.monitors[Handle(*handle)],
                                  name.substr(name.find('.') + 1), value);
    return false;
}
