#include "DemoDisplaySystem.h"

Win32Platform &builtInWin32Platform()
{
    // Never destroyed: the backend, a static made before this one, still
    // releases its monitors through it when the process exits.
    static auto *platform = new DemoDisplaySystem(DemoDisplaySystem::monitorLike());
    return *platform;
}
