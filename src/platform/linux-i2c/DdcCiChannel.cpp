#include "DdcCiChannel.h"

#include "Clock.h"
#include "DdcCiRequest.h"
#include "I2cTransport.h"

#include <linux/i2c-dev.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace {

// The least time DDC/CI gives a display to prepare a reply, and to act on a
// Set VCP before the next message.
constexpr auto replyDelay = std::chrono::milliseconds(40);
constexpr auto setDelay = std::chrono::milliseconds(50);
// A display still busy with the last message may drop a Set VCP, which is
// never sent again, or answer a Get VCP with a NAK or garbage, which costs a
// retry pause: every request waits until the bus has been quiet this long,
// as DDC/CI hosts commonly keep between any two messages.
constexpr auto quietBeforeRequest = std::chrono::milliseconds(50);
// Where the caller has something to do meanwhile, the wait for a quiet bus
// is cut into pieces no longer than this.
constexpr auto quietWaitSlice = std::chrono::milliseconds(10);
// Another program may hold the node for one exchange of its own; the window
// must not freeze behind one that holds it longer.
constexpr int lockAttempts = 5;
constexpr auto lockPause = std::chrono::milliseconds(10);

} // namespace

std::unique_ptr<DdcCiChannel> DdcCiChannel::open(const std::string &path, I2cTransport &transport,
                                                 Clock &clock, int *error)
{
    const int fd = transport.open(path);
    if (fd < 0) {
        *error = fd;
        return nullptr;
    }
    // I2C_SLAVE, unlike I2C_SLAVE_FORCE, fails with EBUSY where a kernel
    // driver already owns the address.
    if (const int result = transport.ioctl(fd, I2C_SLAVE, displayAddress); result < 0) {
        transport.close(fd);
        *error = result;
        return nullptr;
    }
    return std::unique_ptr<DdcCiChannel>(new DdcCiChannel(fd, transport, clock));
}

DdcCiChannel::DdcCiChannel(int fd, I2cTransport &transport, Clock &clock)
    : m_fd(fd),
      m_transport(transport),
      m_clock(clock),
      m_lastTransfer(clock.now() - quietBeforeRequest)
{ }

DdcCiChannel::~DdcCiChannel()
{
    m_transport.close(m_fd);
}

bool DdcCiChannel::lock()
{
    for (int attempt = 1;; ++attempt) {
        const int result = m_transport.lock(m_fd);
        if (result == 0)
            return true;
        if (result != -EWOULDBLOCK || attempt == lockAttempts)
            return false;
        m_clock.sleep(lockPause);
    }
}

template <typename Exchange, typename Result>
Result DdcCiChannel::whileLocked(Exchange exchange, Result whenBusy)
{
    if (!lock())
        return whenBusy;
    const Result result = exchange();
    m_transport.unlock(m_fd);
    return result;
}

bool DdcCiChannel::send(const std::vector<std::uint8_t> &request)
{
    const long sent = m_transport.write(m_fd, request.data(), request.size());
    m_lastTransfer = m_clock.now();
    return sent == long(request.size());
}

long DdcCiChannel::receive(std::uint8_t *data, std::size_t size)
{
    const long received = m_transport.read(m_fd, data, size);
    m_lastTransfer = m_clock.now();
    return received;
}

// Time spent since the last transfer, on this bus or elsewhere, counts, and
// so does an exchange made meanwhile, which starts the wait anew.
void DdcCiChannel::waitForQuietBus(const Meanwhile &meanwhile)
{
    for (;;) {
        const auto quiet = m_clock.now() - m_lastTransfer;
        if (quiet >= quietBeforeRequest)
            return;
        const auto remaining =
            std::chrono::ceil<std::chrono::milliseconds>(quietBeforeRequest - quiet);
        if (!meanwhile) {
            m_clock.sleep(remaining);
            return;
        }
        meanwhile();
        m_clock.sleep(std::min(remaining, quietWaitSlice));
    }
}

// With something to do meanwhile, the bus is waited for before it is locked:
// an exchange made meanwhile takes and leaves the same lock.
VcpReply DdcCiChannel::getVcp(std::uint8_t code, const Meanwhile &meanwhile)
{
    if (meanwhile)
        waitForQuietBus(meanwhile);
    const VcpReply reply = whileLocked(
        [&]() -> VcpReply {
            waitForQuietBus();
            if (!send(DdcCiRequest::getVcp(code)))
                return {};
            m_clock.sleep(replyDelay);
            std::array<std::uint8_t, VcpReply::size> bytes{};
            const long received = receive(bytes.data(), bytes.size());
            if (received < 0)
                return {};
            return VcpReply::parse(bytes.data(), std::size_t(received), code);
        },
        VcpReply{VcpReply::Kind::BusBusy});
    if (reply.kind == VcpReply::Kind::Value)
        m_reportedMaximum[code] = reply.maximum;
    return reply;
}

bool DdcCiChannel::setVcp(std::uint8_t code, std::uint32_t value)
{
    const auto maximum = m_reportedMaximum.find(code);
    if (value > 0xFFFF || (maximum != m_reportedMaximum.end() && value > maximum->second))
        return false;
    return whileLocked(
        [&] {
            waitForQuietBus();
            if (!send(DdcCiRequest::setVcp(code, std::uint16_t(value))))
                return false;
            m_clock.sleep(setDelay);
            return true;
        },
        false);
}
