#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QMap>
#include <QtCore/QString>
#include <QtCore/QStringList>

// A connected display output as the kernel's DRM sysfs shows it.
struct DrmConnector
{
    QString name; // "card0-DP-1": stands where Windows has the GDI device name
    int bus = -1; // the N of the output's own DDC bus i2c-N; -1 when none is known
    QByteArray edid; // empty when the display gave none
};

// Reads which displays are connected, and where their DDC buses are, from
// sysfs (read only). Built-in panels and outputs without a monitor behind
// them are left out: they never answer DDC/CI.
class DrmConnectorScanner
{
public:
    explicit DrmConnectorScanner(const QString &sysfsRoot);

    // Connected outputs, ordered by card, then connector type, then number.
    QList<DrmConnector> connectedDisplays() const;
    // Whether the output still shows the display it showed when `connector`
    // was read: connected, with an EDID of the same monitor. Reads sysfs only.
    bool showsStill(const DrmConnector &connector) const;
    // What every output shows, built-in ones too, under its name: its
    // `status`, and who the monitor is that a connected one's EDID names.
    // Cheap enough to be read every second: sysfs only, no bus traffic.
    QMap<QString, QByteArray> outputs() const;
    // Without the i2c-dev module there are no bus nodes, and HDMI or DVI
    // outputs show no bus either.
    bool i2cDevLoaded() const;

private:
    QString connectorPath(const QString &name) const;
    QStringList connectorNames() const;

    QString m_sysfsRoot;
};
