#include "DisplayDiscovery.h"

#include "DrmConnectorScanner.h"
#include "Edid.h"
#include "VcpCode.h"

#include <QtCore/QFile>
#include <QtCore/QStringList>

#include <cerrno>

namespace {

// A display that is busy may answer a Null Message first.
constexpr int probeAttempts = 3;

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

QString accessDeniedAdvice(const QStringList &nodes)
{
    return QStringLiteral(
               "No permission to open %1, so the monitors there cannot be controlled. Copy the "
               "udev rule data/60-varno-i2c.rules of Varno's sources into /etc/udev/rules.d/, then "
               "run 'sudo udevadm trigger' (or log in again).")
        .arg(nodes.join(QStringLiteral(", ")));
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
    m_accessAdvice.clear();
    const DrmConnectorScanner scanner(m_sysfsRoot);
    const QList<DrmConnector> connectors = scanner.connectedDisplays();
    if (connectors.isEmpty())
        return {};
    if (!scanner.i2cDevLoaded()) {
        m_accessAdvice = moduleMissingAdvice();
        return {};
    }

    std::vector<DiscoveredDisplay> displays;
    QStringList deniedNodes;
    for (const DrmConnector &connector : connectors) {
        if (connector.bus < 0)
            continue;
        const QString node = m_deviceDirectory + QStringLiteral("/i2c-%1").arg(connector.bus);
        int error = 0;
        std::unique_ptr<DdcCiChannel> channel =
            DdcCiChannel::open(QFile::encodeName(node).toStdString(), m_transport, m_clock, &error);
        if (!channel) {
            if (error == -EACCES || error == -EPERM)
                deniedNodes.append(node);
            continue;
        }
        if (!answers(*channel))
            continue;
        const Edid edid = parseEdid(connector.edid);
        displays.push_back({connector.name, QString::fromLatin1(edid.monitorName().c_str()),
                            QString::fromLatin1(edid.serialNumber().c_str()), std::move(channel)});
    }
    if (!deniedNodes.isEmpty())
        m_accessAdvice = accessDeniedAdvice(deniedNodes);
    return displays;
}

QString DisplayDiscovery::accessAdvice() const
{
    return m_accessAdvice;
}

// "Unsupported" is an answer too: the display speaks DDC/CI.
bool DisplayDiscovery::answers(DdcCiChannel &channel)
{
    for (int attempt = 0; attempt < probeAttempts; ++attempt) {
        const VcpReply::Kind kind = channel.getVcp(vcpCode(MonitorControl::Brightness)).kind;
        if (kind == VcpReply::Kind::Value || kind == VcpReply::Kind::Unsupported)
            return true;
    }
    return false;
}
