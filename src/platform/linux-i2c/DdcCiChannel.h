#pragma once

#include "VcpReply.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Clock;
class I2cTransport;

// The DDC/CI function of one display, reached through its i2c-dev bus node.
// The only address it ever selects is the display's 0x37, and it writes
// nothing but the Get VCP and Set VCP requests it is asked for.
class DdcCiChannel
{
public:
    static constexpr unsigned long displayAddress = 0x37;
    // What the caller may do while a request waits for a quiet bus, such as
    // handling the window's events; it may make exchanges of its own.
    using Meanwhile = std::function<void()>;

    // Opens `path` and selects the display's address on it; on failure returns
    // null and sets *error to the negative errno.
    static std::unique_ptr<DdcCiChannel> open(const std::string &path, I2cTransport &transport,
                                              Clock &clock, int *error);
    ~DdcCiChannel();
    DdcCiChannel(const DdcCiChannel &) = delete;
    DdcCiChannel &operator=(const DdcCiChannel &) = delete;

    // BusBusy when another program held the bus lock throughout.
    VcpReply getVcp(std::uint8_t code, const Meanwhile &meanwhile = {});
    // Refuses values the display could not take: above 16 bits, or above the
    // maximum it last reported for the code.
    bool setVcp(std::uint8_t code, std::uint32_t value);

private:
    DdcCiChannel(int fd, I2cTransport &transport, Clock &clock);
    bool lock();
    template <typename Exchange, typename Result>
    Result whileLocked(Exchange exchange, Result whenBusy);
    bool send(const std::vector<std::uint8_t> &request);
    long receive(std::uint8_t *data, std::size_t size);
    void waitForQuietBus(const Meanwhile &meanwhile = {});

    int m_fd;
    I2cTransport &m_transport;
    Clock &m_clock;
    std::map<std::uint8_t, std::uint16_t> m_reportedMaximum;
    std::chrono::nanoseconds m_lastTransfer; // when the bus last carried a message
};
