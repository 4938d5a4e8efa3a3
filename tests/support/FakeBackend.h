#pragma once

#include "DDCWinApi.h"
#include "InstalledFakeDisplays.h"

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
