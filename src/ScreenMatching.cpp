#include "ScreenMatching.h"

#include <QtCore/QRegularExpression>
#include <QtCore/QStringList>

namespace {

// Qt 6.4 shows the line feed that ends a short EDID text, and any NUL padding,
// as dashes ("Aster 27Q-"), where the text read on this side stops. Without
// that tail both forms agree.
QString withoutPadding(const QString &edidText)
{
    qsizetype end = edidText.size();
    while (end > 0 && (edidText.at(end - 1) == u'-' || edidText.at(end - 1) == u' '))
        --end;
    return edidText.left(end);
}

bool sameKnown(const QString &left, const QString &right)
{
    return !left.isEmpty() && left == right;
}

// Only a text known on both sides can tell two monitors apart.
bool edidTextsDiffer(const QString &left, const QString &right)
{
    const QString leftText = withoutPadding(left);
    const QString rightText = withoutPadding(right);
    return !leftText.isEmpty() && !rightText.isEmpty() && leftText != rightText;
}

// The names that Wayland compositors (DP-1, HDMI-A-1) and X11's modesetting
// driver (DP-1, HDMI-1) give the DRM connector cardN-TYPE-K. Other X11 drivers
// count outputs their own way (DisplayPort-0, HDMI-A-0, DP-0): no name of
// theirs is trusted, their screens are known by the EDID.
QStringList connectorNames(const QString &deviceName)
{
    static const QRegularExpression connector(QStringLiteral("^card\\d+-(.+)-(\\d+)$"));
    const QRegularExpressionMatch match = connector.match(deviceName);
    if (!match.hasMatch())
        return {};
    const QString number = QLatin1Char('-') + match.captured(2);
    QStringList names{match.captured(1) + number};
    if (match.captured(1) == QLatin1String("HDMI-A"))
        names.append(QStringLiteral("HDMI") + number);
    return names;
}

bool contradicts(const MonitorIdentity &monitor, const ScreenIdentity &screen)
{
    return edidTextsDiffer(monitor.friendlyName, screen.model)
        || edidTextsDiffer(monitor.serialNumber, screen.serialNumber);
}

bool shownByName(const MonitorIdentity &monitor, const ScreenIdentity &screen)
{
    // Qt 6.4 and the versions around it name a Windows screen by its GDI
    // device name.
    if (sameKnown(monitor.deviceName, screen.name))
        return true;
    // Later Qt 6 names a Windows screen after its monitor. On Linux an X11
    // driver's own count can give a screen the name of another connector: the
    // EDID that Qt read of the screen must not say otherwise.
    const bool named = sameKnown(monitor.friendlyName, screen.name)
        || connectorNames(monitor.deviceName).contains(screen.name);
    return named && !contradicts(monitor, screen);
}

bool shownByEdid(const MonitorIdentity &monitor, const ScreenIdentity &screen)
{
    return sameKnown(withoutPadding(monitor.friendlyName), withoutPadding(screen.model))
        && !edidTextsDiffer(monitor.serialNumber, screen.serialNumber);
}

using Shows = bool (*)(const MonitorIdentity &, const ScreenIdentity &);

// Pairs each unpaired monitor that `shows` finds on exactly one unpaired
// screen, where that screen shows no other unpaired monitor. The pairs made
// leave the others' choices as they were: one pass is enough.
void pairUniquely(const QList<MonitorIdentity> &monitors, const QList<ScreenIdentity> &screens,
                  Shows shows, QList<int> &screenOf)
{
    constexpr int none = -1;
    constexpr int several = -2;
    QList<int> found(monitors.size(), none);
    QList<int> monitorsShown(screens.size(), 0);
    for (int monitor = 0; monitor < monitors.size(); ++monitor) {
        for (int screen = 0; screen < screens.size(); ++screen) {
            if (screenOf.at(monitor) != none || screenOf.contains(screen)
                || !shows(monitors.at(monitor), screens.at(screen)))
                continue;
            found[monitor] = found.at(monitor) == none ? screen : several;
            ++monitorsShown[screen];
        }
    }
    for (int monitor = 0; monitor < monitors.size(); ++monitor) {
        if (found.at(monitor) >= 0 && monitorsShown.at(found.at(monitor)) == 1)
            screenOf[monitor] = found.at(monitor);
    }
}

} // namespace

QList<int> matchScreens(const QList<MonitorIdentity> &monitors,
                        const QList<ScreenIdentity> &screens)
{
    QList<int> screenOf(monitors.size(), -1);
    for (const Shows shows : {shownByName, shownByEdid})
        pairUniquely(monitors, screens, shows, screenOf);
    return screenOf;
}
