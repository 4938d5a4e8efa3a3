#include "DDCApi.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>

DDCApi::DDCApi() : QObject(nullptr) { }

DDCApi::~DDCApi() = default;

QList<DDCValue> DDCApi::brightness() const
{
    return m_brightness;
}

QList<DDCValue> DDCApi::contrast() const
{
    return m_contrast;
}

QList<DDCRgbValue> DDCApi::rgbDrive() const
{
    return m_rgbDrive;
}

QList<DDCRgbValue> DDCApi::rgbGain() const
{
    return m_rgbGain;
}

QString DDCApi::monitorSerialNumber(uint index) const
{
    return screenShowing(index).serialNumber;
}

QString DDCApi::monitorManufacturer(uint index) const
{
    return screenShowing(index).manufacturer;
}

// The drop-down may stand for no selection: any index must be answerable.
ScreenIdentity DDCApi::screenShowing(uint index) const
{
    const QList<MonitorIdentity> monitors = monitorIdentities();
    if (index >= uint(monitors.size()))
        return {};
    const QList<ScreenIdentity> screens = screenIdentities();
    const int screen = matchScreens(monitors, screens).at(index);
    return screen < 0 ? ScreenIdentity() : screens.at(screen);
}

QList<ScreenIdentity> DDCApi::screenIdentities() const
{
    QList<ScreenIdentity> identities;
    for (const QScreen *screen : QGuiApplication::screens()) {
        identities.append(
            {screen->name(), screen->manufacturer(), screen->model(), screen->serialNumber()});
    }
    return identities;
}
