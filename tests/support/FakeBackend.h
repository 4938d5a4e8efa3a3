#pragma once

#include "DDCWinApi.h"
#include "InstalledFakeDisplays.h"

// A backend of its own for each test; the program has only DDCWinApi::instance().
class TestBackend : public DDCWinApi
{
public:
    TestBackend() = default;
};
