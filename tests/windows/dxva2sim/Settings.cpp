#include "Settings.h"

#include <cstdio>
#include <fstream>
#include <sstream>

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

std::optional<Control> controlNamed(const std::string &name)
{
    for (int control = 0; control < ControlCount; ++control) {
        if (name == controlNames[control])
            return Control(control);
    }
    return {};
}

bool takeMonitorSetting(MonitorSettings &monitor, const std::string &name, const std::string &value)
{
    if (name == "silent" || name == "refuses-writes") {
        (name == "silent" ? monitor.silent : monitor.refusesWrites) = value == "yes";
        return value == "yes" || value == "no";
    }
    if (name == "misses-reads") {
        const auto count = number(value);
        monitor.missesReads = int(count.value_or(0));
        return count.has_value();
    }
    if (name == "unsupported") {
        std::istringstream controls(value);
        std::string control;
        while (controls >> control) {
            const auto unsupported = controlNamed(control);
            if (!unsupported)
                return false;
            monitor.unsupported.set(*unsupported);
        }
        return true;
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
