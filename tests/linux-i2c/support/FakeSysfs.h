#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QMap>
#include <QtCore/QTemporaryDir>

// A DRM and i2c sysfs tree in a temporary directory, laid out like the
// kernel's: connectors live under their card's PCI device and are reached
// through symbolic links in class/drm.
class FakeSysfs
{
public:
    FakeSysfs();

    QString root() const;
    void loadI2cDev();
    // A DP connector gets its bus as an i2c-N child; any other connector gets
    // a "ddc" link to the adapter, which has an i2c-dev/i2c-N entry. A
    // negative bus gives the connector no bus at all.
    void addConnector(const QString &name, const QByteArray &status, const QByteArray &edid,
                      int bus);
    // An I2C bus below the device at `parent`, with its i2c-dev node linked
    // from class/i2c-dev once the module is loaded; returns the adapter's path.
    QString addBus(const QString &parent, int bus);
    // Every file and link under the root with its content or target.
    QMap<QString, QByteArray> snapshot() const;

private:
    QString mkpath(const QString &path) const;
    void writeFile(const QString &path, const QByteArray &content) const;

    QTemporaryDir m_directory;
};
