#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The system calls through which the layer reaches an i2c-dev bus node. Tests
// put a simulated monitor behind them; every call returns what the system
// call returns on success and -errno on failure.
class I2cTransport
{
public:
    virtual ~I2cTransport();

    // Opens the node for reading and writing; returns a descriptor.
    virtual int open(const std::string &path) = 0;
    virtual int close(int fd) = 0;
    virtual int ioctl(int fd, unsigned long request, unsigned long argument) = 0;
    // Tries once, without waiting, to take an exclusive advisory lock on the
    // node, held across one request/reply exchange; -EWOULDBLOCK while another
    // descriptor holds a lock on it. Being advisory, it keeps out only
    // programs that lock the node too (another Varno, tools that take the same
    // lock); any other program can still talk to the display in between, and
    // the kernel keeps only single transfers whole.
    virtual int lock(int fd) = 0;
    virtual int unlock(int fd) = 0;
    virtual long write(int fd, const std::uint8_t *data, std::size_t size) = 0;
    virtual long read(int fd, std::uint8_t *data, std::size_t size) = 0;
};
