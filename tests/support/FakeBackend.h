#pragma once

#include "DDCWinApi.h"
#include "win32shim/FakeDisplaySystem.h"

// A fake display system that answers the backend's calls while it exists.
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

// A backend of its own for each test; the program has only DDCWinApi::instance().
// Qt's screens are the ones the test gives it.
class TestBackend : public DDCWinApi
{
public:
    TestBackend() = default;

    QList<ScreenIdentity> screenIdentities() const override
    {
        return screens;
    }

    QList<ScreenIdentity> screens;
};
