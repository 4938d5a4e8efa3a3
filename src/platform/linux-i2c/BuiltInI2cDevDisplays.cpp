#include "I2cDevDisplaySystem.h"
#include "KernelI2cTransport.h"
#include "SystemClock.h"

Win32Platform &builtInWin32Platform()
{
    // Never destroyed: the backend, a static made before this one, still
    // closes its monitors' channels through it when the process exits.
    static auto *transport = new KernelI2cTransport;
    static auto *clock = new SystemClock;
    static auto *platform = new I2cDevDisplaySystem(
        {QStringLiteral("/sys"), QStringLiteral("/dev"), *transport, *clock});
    return *platform;
}
