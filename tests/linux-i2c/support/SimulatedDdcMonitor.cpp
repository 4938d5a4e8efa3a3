#include "SimulatedDdcMonitor.h"

#include <cerrno>
#include <cstring>

namespace {

const QByteArray nullMessage = QByteArray::fromHex("6e80be");

} // namespace

SimulatedDdcMonitor SimulatedDdcMonitor::typical()
{
    SimulatedDdcMonitor monitor;
    monitor.setFeature(0x10, 100, 70); // brightness
    monitor.setFeature(0x12, 100, 75); // contrast
    monitor.setFeature(0x16, 255, 200); // gain red, green, blue
    monitor.setFeature(0x18, 255, 201);
    monitor.setFeature(0x1A, 255, 202);
    monitor.setFeature(0x6C, 255, 100); // black level red, green, blue
    monitor.setFeature(0x6E, 255, 101);
    monitor.setFeature(0x70, 255, 102);
    return monitor;
}

void SimulatedDdcMonitor::setFeature(std::uint8_t code, std::uint16_t maximum,
                                     std::uint16_t current)
{
    m_features[code] = {maximum, current};
}

std::uint16_t SimulatedDdcMonitor::current(std::uint8_t code) const
{
    return m_features.at(code).current;
}

void SimulatedDdcMonitor::misbehave(std::initializer_list<Fault> faults)
{
    m_faults.append(QList<Fault>(faults));
}

void SimulatedDdcMonitor::stopAnswering()
{
    m_silent = true;
}

void SimulatedDdcMonitor::resumeAnswering()
{
    m_silent = false;
}

QList<QByteArray> SimulatedDdcMonitor::requests() const
{
    return m_requests;
}

long SimulatedDdcMonitor::receive(const std::uint8_t *data, std::size_t size)
{
    if (m_silent || (!m_faults.isEmpty() && m_faults.first() == Fault::Nak)) {
        if (!m_silent)
            m_faults.removeFirst();
        return -ENXIO;
    }
    const QByteArray request(reinterpret_cast<const char *>(data), qsizetype(size));
    m_requests.append(request);
    bool isSet = false;
    QByteArray reply = replyTo(request, &isSet);
    if (!isSet && !m_faults.isEmpty()) {
        switch (m_faults.takeFirst()) {
        case Fault::BadChecksum:
            reply.back() = char(reply.back() ^ 0x01);
            break;
        case Fault::WrongLength:
            reply[1] = char(reply[1] + 1);
            break;
        case Fault::NullMessage:
            reply = nullMessage;
            break;
        case Fault::Unsupported:
            reply = frame(QByteArray::fromHex("0201") + request.mid(3, 1)
                          + QByteArray::fromHex("0000000000"));
            break;
        case Fault::WrongCode:
            reply = frame(QByteArray::fromHex("0200") + char(request[3] + 1)
                          + QByteArray::fromHex("0000640032"));
            break;
        case Fault::WrongSource:
            reply[0] = char(0x6F);
            break;
        case Fault::Nak:
            break;
        }
    }
    m_pendingReply = reply;
    return long(size);
}

long SimulatedDdcMonitor::transmit(std::uint8_t *data, std::size_t size)
{
    if (m_silent)
        return -EREMOTEIO;
    // Past its message a display sends whatever its buffer holds.
    const QByteArray reply =
        std::exchange(m_pendingReply, nullMessage).leftJustified(qsizetype(size), char(0xFF), true);
    std::memcpy(data, reply.constData(), size);
    return long(size);
}

// A request that is not framed as DDC/CI demands gets a Null Message: the
// display has no answer to give.
QByteArray SimulatedDdcMonitor::replyTo(const QByteArray &request, bool *isSet)
{
    const auto byte = [&](int i) { return std::uint8_t(request.at(i)); };
    if (request.size() < 3 || byte(0) != 0x51 || !(byte(1) & 0x80)
        || request.size() != (byte(1) & 0x7F) + 3)
        return nullMessage;
    std::uint8_t checksum = 0x6E;
    for (const char c : request)
        checksum ^= std::uint8_t(c);
    if (checksum != 0)
        return nullMessage;

    const int length = byte(1) & 0x7F;
    if (length == 2 && byte(2) == 0x01) {
        const auto feature = m_features.find(byte(3));
        if (feature == m_features.end())
            return frame(QByteArray::fromHex("0201") + char(byte(3)) + QByteArray(5, 0));
        const Feature &value = feature->second;
        return frame(QByteArray::fromHex("0200") + char(byte(3)) + char(0)
                     + char(value.maximum >> 8) + char(value.maximum & 0xFF)
                     + char(value.current >> 8) + char(value.current & 0xFF));
    }
    if (length == 4 && byte(2) == 0x03) {
        *isSet = true;
        if (const auto feature = m_features.find(byte(3)); feature != m_features.end())
            feature->second.current = std::uint16_t(byte(4) << 8 | byte(5));
    }
    return nullMessage;
}

QByteArray SimulatedDdcMonitor::frame(QByteArray data)
{
    QByteArray reply = QByteArray(1, char(0x6E)) + char(0x80 | data.size()) + data;
    std::uint8_t checksum = 0x50;
    for (const char c : reply)
        checksum ^= std::uint8_t(c);
    return reply + char(checksum);
}
