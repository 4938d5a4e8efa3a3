#include "Win32Platform.h"

namespace {

Win32Platform *installedPlatform = nullptr;

} // namespace

Win32Platform::~Win32Platform() = default;

QStringList Win32Platform::advice() const
{
    return {};
}

bool Win32Platform::isKnownSilent(HANDLE)
{
    return false;
}

DWORD Win32Platform::lastError() const
{
    return m_lastError;
}

BOOL Win32Platform::fail(DWORD error)
{
    m_lastError = error;
    return FALSE;
}

Win32Platform &Win32Platform::current()
{
    return installedPlatform ? *installedPlatform : builtInWin32Platform();
}

void Win32Platform::install(Win32Platform *platform)
{
    installedPlatform = platform;
}
