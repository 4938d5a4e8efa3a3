#include "SimulatedI2cBuses.h"

#include <cerrno>
#include <linux/i2c-dev.h>

namespace {

QString hex(const std::uint8_t *data, std::size_t size)
{
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).toHex(' '));
}

} // namespace

SimulatedI2cBuses::SimulatedI2cBuses(QStringList *log) : m_log(log) { }

SimulatedDdcMonitor &SimulatedI2cBuses::attach(const QString &node, SimulatedDdcMonitor monitor)
{
    return m_monitors[node] = monitor;
}

void SimulatedI2cBuses::refuseOpen(const QString &node, int error)
{
    m_openErrors[node] = error;
}

void SimulatedI2cBuses::refuseAddress(const QString &node, int error)
{
    m_addressErrors[node] = error;
}

int SimulatedI2cBuses::openDescriptors() const
{
    return int(m_descriptors.size());
}

void SimulatedI2cBuses::record(const QString &entry)
{
    m_log->append(entry);
}

SimulatedDdcMonitor *SimulatedI2cBuses::addressedMonitor(int fd)
{
    // Transfers outside the exchange lock could interleave with another
    // process: they get no answer.
    const auto descriptor = m_descriptors.find(fd);
    if (descriptor == m_descriptors.end() || !descriptor->addressed || !descriptor->locked)
        return nullptr;
    const auto monitor = m_monitors.find(descriptor->node);
    return monitor == m_monitors.end() ? nullptr : &*monitor;
}

int SimulatedI2cBuses::open(const std::string &path)
{
    const QString node = QString::fromStdString(path);
    record(QStringLiteral("open %1").arg(node));
    if (m_openErrors.contains(node))
        return -m_openErrors.value(node);
    if (!m_monitors.contains(node))
        return -ENOENT;
    m_descriptors.insert(m_nextDescriptor, {node});
    return m_nextDescriptor++;
}

int SimulatedI2cBuses::close(int fd)
{
    record(QStringLiteral("close %1").arg(fd));
    return m_descriptors.remove(fd) ? 0 : -EBADF;
}

int SimulatedI2cBuses::ioctl(int fd, unsigned long request, unsigned long argument)
{
    record(QStringLiteral("ioctl %1 0x%2 0x%3").arg(fd).arg(request, 0, 16).arg(argument, 0, 16));
    const auto descriptor = m_descriptors.find(fd);
    if (descriptor == m_descriptors.end())
        return -EBADF;
    if (request != I2C_SLAVE && request != I2C_SLAVE_FORCE)
        return -ENOTTY;
    if (request == I2C_SLAVE && m_addressErrors.contains(descriptor->node))
        return -m_addressErrors.value(descriptor->node);
    descriptor->addressed = argument == 0x37;
    return 0;
}

int SimulatedI2cBuses::lock(int fd)
{
    record(QStringLiteral("lock %1").arg(fd));
    return setLocked(fd, true);
}

int SimulatedI2cBuses::unlock(int fd)
{
    record(QStringLiteral("unlock %1").arg(fd));
    return setLocked(fd, false);
}

int SimulatedI2cBuses::setLocked(int fd, bool locked)
{
    const auto descriptor = m_descriptors.find(fd);
    if (descriptor == m_descriptors.end())
        return -EBADF;
    descriptor->locked = locked;
    return 0;
}

long SimulatedI2cBuses::write(int fd, const std::uint8_t *data, std::size_t size)
{
    record(QStringLiteral("write %1 %2").arg(fd).arg(hex(data, size)));
    SimulatedDdcMonitor *monitor = addressedMonitor(fd);
    return monitor ? monitor->receive(data, size) : -ENXIO;
}

long SimulatedI2cBuses::read(int fd, std::uint8_t *data, std::size_t size)
{
    record(QStringLiteral("read %1 %2").arg(fd).arg(size));
    SimulatedDdcMonitor *monitor = addressedMonitor(fd);
    return monitor ? monitor->transmit(data, size) : -ENXIO;
}
