#pragma once

#include "DDCWinApi.h"
#include "InstalledFakeDisplays.h"

// A backend of its own for each test; the program has only DDCWinApi::instance().
class TestBackend : public DDCWinApi
{
public:
    TestBackend() = default;
};

// The names of the monitors that the backend lists, in its order.
inline QStringList namesOf(DDCWinApi &backend)
{
    QStringList names;
    for (uint index = 0; index < backend.monitorCount(); ++index)
        names.append(backend.monitorName(index));
    return names;
}
