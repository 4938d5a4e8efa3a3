#pragma once

#include <QtCore/QList>
#include <QtCore/QString>

// What Qt tells of one of its screens.
struct ScreenIdentity
{
    QString name;
    QString manufacturer;
    QString model; // from the EDID's monitor name; empty when Qt has none
    QString serialNumber; // from the EDID; empty when Qt has none
};

// What the backend knows of one monitor.
struct MonitorIdentity
{
    QString deviceName; // the GDI device name; on Linux the DRM connector ("card0-DP-1")
    QString friendlyName; // the EDID's monitor name; empty when there is none
    QString serialNumber; // the EDID's serial number as Qt shows it; empty when unknown
};

// For each monitor, the position in `screens` of the screen that shows it, or
// -1 where no screen is certain to: better no identity than another
// monitor's.
QList<int> matchScreens(const QList<MonitorIdentity> &monitors,
                        const QList<ScreenIdentity> &screens);
