#include "FakeDisplaySystem.h"

// Tests install a fake display system of their own; a program started without
// one sees no monitors.
Win32Platform &builtInWin32Platform()
{
    static auto *platform = new FakeDisplaySystem;
    return *platform;
}
