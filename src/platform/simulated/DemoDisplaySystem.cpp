#include "DemoDisplaySystem.h"

#include "SimulatedEdid.h"

// Their makers' ids are not in the PNP list, so the window shows the ids; one
// tells its serial number in text, the other only in binary.
DemoDisplaySystem::DemoDisplaySystem(Delays delays) : SimulatedDisplaySystem(delays)
{
    const int aster =
        addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"), QStringLiteral("Aster 27Q"));
    displayMonitor(aster).edid = SimulatedEdid{"ASR", 0, "Aster 27Q", "A27Q-2304915"}.block();
    setLevels(aster, 70, 75, 50, 100);
    const int lumen =
        addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"), QStringLiteral("Lumen 24F"));
    displayMonitor(lumen).edid = SimulatedEdid{"LMN", 24011987, "Lumen 24F", {}}.block();
    setLevels(lumen, 40, 60, 45, 90);
}

void DemoDisplaySystem::attachMonitor()
{
    for (int id = 0; id < monitorCount(); ++id) {
        if (!displayMonitor(id).attached) {
            attachDisplayMonitor(id);
            return;
        }
    }
    const int number = monitorCount() - 1;
    const int orion = addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY%1").arg(number + 2),
                                        QStringLiteral("Orion 32U"));
    displayMonitor(orion).edid =
        SimulatedEdid{"ORN", quint32(number), "Orion 32U", "O32-" + QByteArray::number(number)}
            .block();
    setLevels(orion, 55, 50, 60, 80);
}

void DemoDisplaySystem::detachMonitor()
{
    for (int id = 0; id < monitorCount(); ++id) {
        if (displayMonitor(id).attached) {
            detachDisplayMonitor(id);
            return;
        }
    }
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
