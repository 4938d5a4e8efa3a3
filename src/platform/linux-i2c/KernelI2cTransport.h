#pragma once

#include "I2cTransport.h"

// The real i2c-dev nodes. It forwards nothing but selecting the DDC/CI
// address with I2C_SLAVE: a bug above cannot reach another device on the bus
// or take an address away from a kernel driver.
class KernelI2cTransport : public I2cTransport
{
public:
    int open(const std::string &path) override;
    int close(int fd) override;
    int ioctl(int fd, unsigned long request, unsigned long argument) override;
    int lock(int fd) override;
    int unlock(int fd) override;
    long write(int fd, const std::uint8_t *data, std::size_t size) override;
    long read(int fd, std::uint8_t *data, std::size_t size) override;
};
