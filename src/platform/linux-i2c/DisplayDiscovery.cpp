#include "DisplayDiscovery.h"

#include "Clock.h"
#include "Edid.h"
#include "VcpCode.h"

#include <QtCore/QFile>
#include <QtCore/QSet>

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
    m_advice.clear();
    const DrmConnectorScanner scanner(m_sysfsRoot);
    const QList<DrmConnector> connectors = scanner.connectedDisplays();
    if (connectors.isEmpty())
        return {};
    if (!scanner.i2cDevLoaded()) {
        m_advice.append(moduleMissingAdvice());
        return {};
    }

    std::vector<DiscoveredDisplay> displays;
    QStringList withoutBus;
    QStringList denied;
    QStringList driverOwned;
    QStringList silent;
    QSet<int> busesTried;
    for (const DrmConnector &connector : connectors) {
        if (connector.bus < 0) {
            withoutBus.append(connector.name);
            continue;
        }
        if (busesTried.contains(connector.bus))
            continue;
        busesTried.insert(connector.bus);
        const QString node = m_deviceDirectory + QStringLiteral("/i2c-%1").arg(connector.bus);
        int error = 0;
        std::unique_ptr<DdcCiChannel> channel =
            DdcCiChannel::open(QFile::encodeName(node).toStdString(), m_transport, m_clock, &error);
        if (!channel) {
            if (error == -EACCES || error == -EPERM)
                denied.append(node);
            else if (error == -EBUSY)
                driverOwned.append(QStringLiteral("%1 (%2)").arg(connector.name, node));
            continue;
        }
        const bool answered = answers(*channel);
        if (!answered)
            silent.append(connector.name);
        const Edid edid = parseEdid(connector.edid);
        displays.push_back({connector, QString::fromLatin1(edid.monitorName().c_str()),
                            std::move(channel), answered});
    }
    advise(withoutBus,
           QStringLiteral("Not listed, as they have no DDC bus (a DisplayPort MST monitor, or a "
                          "driver that shows none): %1."));
    advise(denied,
           QStringLiteral("No permission to open %1, so the monitors there cannot be controlled. "
                          "Install Varno's package, or copy data/60-varno-i2c.rules of its "
                          "sources into /etc/udev/rules.d/ and data/varno-ddc-bus into "
                          "/usr/lib/udev/; then run 'sudo udevadm trigger' (or log in again)."));
    advise(driverOwned,
           QStringLiteral("Not listed, as a kernel driver owns the DDC/CI address on their bus: "
                          "%1."));
    advise(silent,
           QStringLiteral("Listed, but they did not answer over DDC/CI (it may be off in the "
                          "monitor's menu, or the monitor was asleep); each is used as soon as "
                          "it answers: %1."));
    return displays;
}

void DisplayDiscovery::advise(const QStringList &leftOut, const QString &reason)
{
    if (!leftOut.isEmpty())
        m_advice.append(reason.arg(leftOut.join(QStringLiteral(", "))));
}

QStringList DisplayDiscovery::advice() const
{
    return m_advice;
}

// "Unsupported" is an answer too: the display speaks DDC/CI.
bool DisplayDiscovery::answers(DdcCiChannel &channel)
{
    for (std::size_t attempt = 0;; ++attempt) {
        const VcpReply::Kind kind = channel.getVcp(vcpCode(MonitorControl::Brightness)).kind;
        if (kind == VcpReply::Kind::Value || kind == VcpReply::Kind::Unsupported)
            return true;
        if (attempt == std::size(probePauses))
            return false;
        m_clock.sleep(probePauses[attempt]);
    }
}
