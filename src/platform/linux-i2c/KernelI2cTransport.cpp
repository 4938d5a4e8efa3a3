#include "KernelI2cTransport.h"

#include "DdcCiChannel.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

template <typename Result>
Result orError(Result result)
{
    return result < 0 ? Result(-errno) : result;
}

} // namespace

int KernelI2cTransport::open(const std::string &path)
{
    return orError(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY));
}

int KernelI2cTransport::close(int fd)
{
    return orError(::close(fd));
}

int KernelI2cTransport::ioctl(int fd, unsigned long request, unsigned long argument)
{
    if (request != I2C_SLAVE || argument != DdcCiChannel::displayAddress)
        return -EPERM;
    return orError(::ioctl(fd, I2C_SLAVE, argument));
}

// Never blocks: a lock held by another program must not freeze the window.
int KernelI2cTransport::lock(int fd)
{
    return orError(::flock(fd, LOCK_EX | LOCK_NB));
}

int KernelI2cTransport::unlock(int fd)
{
    return orError(::flock(fd, LOCK_UN));
}

long KernelI2cTransport::write(int fd, const std::uint8_t *data, std::size_t size)
{
    return orError(long(::write(fd, data, size)));
}

long KernelI2cTransport::read(int fd, std::uint8_t *data, std::size_t size)
{
    return orError(long(::read(fd, data, size)));
}
