#include "DrmConnectorScanner.h"

#include "Edid.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>

#include <algorithm>
#include <tuple>

namespace {

const QRegularExpression &connectorPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^card(\\d+)-(.+)-(\\d+)$"));
    return pattern;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The number N of the one "i2c-N" entry in `directory`; -1 unless there is
// exactly one, since a guess could reach a bus that is not the display's.
int onlyBusIn(const QString &directory)
{
    static const QRegularExpression busName(QStringLiteral("^i2c-(\\d{1,6})$"));
    int bus = -1;
    int found = 0;
    for (const QString &entry : QDir(directory).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (const QRegularExpressionMatch match = busName.match(entry); match.hasMatch()) {
            bus = match.captured(1).toInt();
            ++found;
        }
    }
    return found == 1 ? bus : -1;
}

bool isConnected(const QString &connectorPath)
{
    return readFile(connectorPath + QStringLiteral("/status")).trimmed() == "connected";
}

QByteArray edidOf(const QString &connectorPath)
{
    return readFile(connectorPath + QStringLiteral("/edid"));
}

// Who the monitor is that an EDID describes; one that does not parse stands
// for itself, whole.
QByteArray monitorKeyOf(const QByteArray &edid)
{
    const std::optional<Edid> parsed = Edid::parse(
        reinterpret_cast<const std::uint8_t *>(edid.constData()), std::size_t(edid.size()));
    return parsed ? QByteArray::fromStdString(parsed->identityKey()) : edid;
}

bool isSameMonitor(const QByteArray &edid, const QByteArray &earlier)
{
    return monitorKeyOf(edid) == monitorKeyOf(earlier);
}

// Connector types of the kernel's DRM whose outputs never lead to a monitor
// that speaks DDC/CI: built-in panels (eDP and LVDS in laptops; DSI, DPI and
// SPI in tablets, phones and boards), which may answer EDID reads but never
// DDC/CI, and outputs with no monitor behind them (Virtual, Writeback). The
// udev helper data/varno-ddc-bus keeps out the same types.
bool isInternal(const QString &type)
{
    static const QStringList internal = {QStringLiteral("eDP"),      QStringLiteral("LVDS"),
                                         QStringLiteral("DSI"),      QStringLiteral("DPI"),
                                         QStringLiteral("SPI"),      QStringLiteral("Virtual"),
                                         QStringLiteral("Writeback")};
    return internal.contains(type);
}

// A DisplayPort output's own bus is its I2C-over-AUX adapter, a child of the
// connector; its "ddc" link leads to a shared base bus. Other outputs name
// their bus through the "ddc" link.
int busOf(const QString &connectorPath, const QString &type)
{
    if (type == QLatin1String("DP"))
        return onlyBusIn(connectorPath);
    return onlyBusIn(connectorPath + QStringLiteral("/ddc/i2c-dev"));
}

struct Entry
{
    int card;
    QString type;
    int number;
    QString name;

    bool operator<(const Entry &other) const
    {
        return std::tie(card, type, number) < std::tie(other.card, other.type, other.number);
    }
};

} // namespace

DrmConnectorScanner::DrmConnectorScanner(const QString &sysfsRoot) : m_sysfsRoot(sysfsRoot) { }

bool DrmConnectorScanner::i2cDevLoaded() const
{
    return QDir(m_sysfsRoot + QStringLiteral("/class/i2c-dev")).exists();
}

QString DrmConnectorScanner::connectorPath(const QString &name) const
{
    return m_sysfsRoot + QStringLiteral("/class/drm/") + name;
}

bool DrmConnectorScanner::showsStill(const DrmConnector &connector) const
{
    const QString path = connectorPath(connector.name);
    return isConnected(path) && isSameMonitor(edidOf(path), connector.edid);
}

QMap<QString, QByteArray> DrmConnectorScanner::outputs() const
{
    QMap<QString, QByteArray> outputs;
    for (const QString &name : connectorNames()) {
        const QString path = connectorPath(name);
        const QByteArray status = readFile(path + QStringLiteral("/status")).trimmed();
        outputs.insert(name,
                       status == "connected" ? status + '\n' + monitorKeyOf(edidOf(path)) : status);
    }
    return outputs;
}

QStringList DrmConnectorScanner::connectorNames() const
{
    QStringList names;
    for (const QString &name :
         QDir(connectorPath(QString())).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (connectorPattern().match(name).hasMatch())
            names.append(name);
    }
    return names;
}

QList<DrmConnector> DrmConnectorScanner::connectedDisplays() const
{
    QList<Entry> entries;
    for (const QString &name : connectorNames()) {
        const QRegularExpressionMatch match = connectorPattern().match(name);
        entries.append(
            {match.captured(1).toInt(), match.captured(2), match.captured(3).toInt(), name});
    }
    std::sort(entries.begin(), entries.end());

    QList<DrmConnector> displays;
    for (const Entry &entry : std::as_const(entries)) {
        const QString path = connectorPath(entry.name);
        if (!isInternal(entry.type) && isConnected(path))
            displays.append({entry.name, busOf(path, entry.type), edidOf(path)});
    }
    return displays;
}
