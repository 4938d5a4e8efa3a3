#include "DemoDisplaySystem.h"

DemoDisplaySystem::DemoDisplaySystem(Delays delays) : SimulatedDisplaySystem(delays)
{
    setLevels(addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"), QStringLiteral("Aster 27Q")), 70,
              75, 50, 100);
    setLevels(addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"), QStringLiteral("Lumen 24F")), 40,
              60, 45, 90);
}

void DemoDisplaySystem::setLevels(int monitor, DWORD brightness, DWORD contrast, DWORD drive,
                                  DWORD gain)
{
    control(monitor, MonitorControl::Brightness).current = brightness;
    control(monitor, MonitorControl::Contrast).current = contrast;
    for (const MonitorControl colour :
         {MonitorControl::RedDrive, MonitorControl::GreenDrive, MonitorControl::BlueDrive})
        control(monitor, colour).current = drive;
    for (const MonitorControl colour :
         {MonitorControl::RedGain, MonitorControl::GreenGain, MonitorControl::BlueGain})
        control(monitor, colour).current = gain;
}
