#include "MonitorControl.h"

namespace {

template <typename ColourType>
std::optional<MonitorControl> colourControl(ColourType type, MonitorControl red)
{
    if (type < 0 || type > 2)
        return std::nullopt;
    return MonitorControl(int(red) + int(type));
}

} // namespace

std::optional<MonitorControl> driveControl(MC_DRIVE_TYPE type)
{
    return colourControl(type, MonitorControl::RedDrive);
}

std::optional<MonitorControl> gainControl(MC_GAIN_TYPE type)
{
    return colourControl(type, MonitorControl::RedGain);
}
