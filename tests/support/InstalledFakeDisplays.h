#pragma once

#include "FakeDisplaySystem.h"

// A fake display system that answers the Windows calls while it exists.
class InstalledFakeDisplays : public FakeDisplaySystem
{
public:
    InstalledFakeDisplays()
    {
        Win32Platform::install(this);
    }
    ~InstalledFakeDisplays() override
    {
        Win32Platform::install(nullptr);
    }
};
