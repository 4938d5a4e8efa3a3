#include "DDCApi.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>

namespace {

// The drop-down may stand for no selection, and Qt's screens are not tied to
// the backend's monitors, so any index must be answerable.
QScreen *screenAt(uint index)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    return index < uint(screens.size()) ? screens.at(index) : nullptr;
}

} // namespace

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
    const QScreen *screen = screenAt(index);
    return screen ? screen->serialNumber() : QString();
}

QString DDCApi::monitorManufacturer(uint index) const
{
    const QScreen *screen = screenAt(index);
    return screen ? screen->manufacturer() : QString();
}
