#include "SimulatedDisplaySystem.h"

#include <thread>

SimulatedDisplaySystem::SimulatedDisplaySystem(Delays delays) : m_delays(delays)
{
    setRecordingCalls(false);
    setLevels(addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"), QStringLiteral("Aster 27Q")), 70,
              75, 50, 100);
    setLevels(addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"), QStringLiteral("Lumen 24F")), 40,
              60, 45, 90);
}

SimulatedDisplaySystem::Delays SimulatedDisplaySystem::monitorLike()
{
    return {std::chrono::milliseconds(40), std::chrono::milliseconds(50)};
}

void SimulatedDisplaySystem::setLevels(int monitor, DWORD brightness, DWORD contrast, DWORD drive,
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

void SimulatedDisplaySystem::answerDelay(Transfer transfer)
{
    std::this_thread::sleep_for(transfer == Transfer::Read ? m_delays.read : m_delays.write);
}

void SimulatedDisplaySystem::pause(DWORD milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
