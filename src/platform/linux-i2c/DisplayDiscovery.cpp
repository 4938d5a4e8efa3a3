#include "DisplayDiscovery.h"

#include "Clock.h"
#include "Edid.h"
#include "VcpCode.h"

#include <QtCore/QFile>
#include <QtCore/QMap>

#include <cerrno>
#include <chrono>
#include <iterator>

namespace {

// A display that is waking up or busy may not answer, or answer a Null
// Message (not ready): it is asked again after each of these pauses, which
// grow to give it time.
constexpr std::chrono::milliseconds probePauses[] = {std::chrono::milliseconds(100),
                                                     std::chrono::milliseconds(200)};

Edid parseEdid(const QByteArray &bytes)
{
    return Edid::parse(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                       std::size_t(bytes.size()))
        .value_or(Edid());
}

// A warning names a display by its EDID name and its connector.
QString displayNamed(const DrmConnector &connector, const Edid &edid)
{
    const std::string &name = edid.monitorName();
    return name.empty()
        ? connector.name
        : QStringLiteral("%1 (%2)").arg(QString::fromLatin1(name.c_str()), connector.name);
}

// Why the bus node could not be opened, or its display's address selected;
// `error` is the negative errno.
QString unusableBus(const QString &node, int error)
{
    QString reason = QStringLiteral("%1 cannot be used").arg(node);
    if (error == -EACCES || error == -EPERM)
        reason = QStringLiteral("there is no permission to open %1").arg(node);
    else if (error == -EBUSY)
        reason = QStringLiteral("a kernel driver owns the DDC/CI address on %1").arg(node);
    return QStringLiteral("%1 (%2)").arg(reason, qt_error_string(-error));
}

QString moduleMissingAdvice()
{
    return QStringLiteral(
        "No monitor can be controlled: the kernel module i2c-dev is not loaded. Load it with "
        "'sudo modprobe i2c-dev'; to load it at every boot, put the line 'i2c-dev' into a file "
        "in /etc/modules-load.d/.");
}

} // namespace

DisplayDiscovery::DisplayDiscovery(const QString &sysfsRoot, const QString &deviceDirectory,
                                   I2cTransport &transport, Clock &clock)
    : m_sysfsRoot(sysfsRoot),
      m_deviceDirectory(deviceDirectory),
      m_transport(transport),
      m_clock(clock)
{ }

std::vector<DiscoveredDisplay> DisplayDiscovery::discover()
{
    return discover(DrmConnectorScanner(m_sysfsRoot).connectedDisplays(), {});
}

std::vector<DiscoveredDisplay> DisplayDiscovery::discover(const QList<DrmConnector> &connectors,
                                                          const QStringList &driven)
{
    m_advice.clear();
    m_noMonitorReason = NoMonitorReason::Unexplained;
    if (connectors.isEmpty()) {
        m_noMonitorReason = NoMonitorReason::NoExternalOutput;
        return {};
    }
    if (!DrmConnectorScanner(m_sysfsRoot).i2cDevLoaded()) {
        m_advice.append(moduleMissingAdvice());
        m_noMonitorReason = NoMonitorReason::ModuleMissing;
        return {};
    }

    std::vector<DiscoveredDisplay> displays;
    bool denied = false;
    // The first connector on each bus; a display driven already keeps its
    // bus whatever comes before it.
    QMap<int, QString> busUsers;
    for (const DrmConnector &connector : connectors) {
        if (driven.contains(connector.name))
            busUsers.insert(connector.bus, connector.name);
    }
    for (const DrmConnector &connector : connectors) {
        if (driven.contains(connector.name))
            continue;
        const Edid edid = parseEdid(connector.edid);
        const QString display = displayNamed(connector, edid);
        if (connector.bus < 0) {
            leaveOut(display,
                     QStringLiteral("its output has no DDC bus (a DisplayPort MST monitor, or a "
                                    "driver that shows none)"));
            continue;
        }
        if (const auto user = busUsers.constFind(connector.bus); user != busUsers.cend()) {
            leaveOut(display, QStringLiteral("it shares its DDC bus with %1").arg(*user));
            continue;
        }
        busUsers.insert(connector.bus, connector.name);
        const QString node = m_deviceDirectory + QStringLiteral("/i2c-%1").arg(connector.bus);
        int error = 0;
        std::unique_ptr<DdcCiChannel> channel =
            DdcCiChannel::open(QFile::encodeName(node).toStdString(), m_transport, m_clock, &error);
        if (!channel) {
            denied = denied || error == -EACCES || error == -EPERM;
            leaveOut(display, unusableBus(node, error));
            continue;
        }
        const Answer answer = probe(*channel);
        if (answer == Answer::None) {
            m_advice.append(QStringLiteral("%1 did not answer over DDC/CI (it may be off in the "
                                           "monitor's menu, or the monitor was asleep); it is "
                                           "listed and used as soon as it answers.")
                                .arg(display));
        } else if (answer == Answer::Busy) {
            m_advice.append(QStringLiteral("%1 was busy: another program held its bus %2; it is "
                                           "listed and used as soon as it answers.")
                                .arg(display, node));
        }
        displays.push_back({connector, QString::fromLatin1(edid.monitorName().c_str()),
                            std::move(channel), answer == Answer::Given});
    }
    if (denied) {
        m_advice.append(QStringLiteral(
            "To let your login control them, install Varno's package, or copy "
            "data/60-varno-i2c.rules of its sources into /etc/udev/rules.d/ and "
            "data/varno-ddc-bus into /usr/lib/udev/; then run 'sudo udevadm trigger' (or log in "
            "again)."));
    }
    // Silent displays are listed: permission is all that can keep out every
    // display that has a bus.
    if (displays.empty() && denied)
        m_noMonitorReason = NoMonitorReason::NoPermission;
    return displays;
}

void DisplayDiscovery::leaveOut(const QString &display, const QString &reason)
{
    m_advice.append(QStringLiteral("%1 is not listed: %2.").arg(display, reason));
}

QStringList DisplayDiscovery::advice() const
{
    return m_advice;
}

NoMonitorReason DisplayDiscovery::noMonitorReason() const
{
    return m_noMonitorReason;
}

// "Unsupported" is an answer too: the display speaks DDC/CI. While another
// program held the bus, the display could not be asked: if it never
// answered, it was busy rather than silent.
DisplayDiscovery::Answer DisplayDiscovery::probe(DdcCiChannel &channel)
{
    bool busy = false;
    for (std::size_t attempt = 0;; ++attempt) {
        const VcpReply::Kind kind = channel.getVcp(vcpCode(MonitorControl::Brightness)).kind;
        if (kind == VcpReply::Kind::Value || kind == VcpReply::Kind::Unsupported)
            return Answer::Given;
        busy = busy || kind == VcpReply::Kind::BusBusy;
        if (attempt == std::size(probePauses))
            return busy ? Answer::Busy : Answer::None;
        m_clock.sleep(probePauses[attempt]);
    }
}
