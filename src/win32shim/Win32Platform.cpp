#include "Win32Platform.h"

namespace {

Win32Platform *installedPlatform = nullptr;

} // namespace

Win32Platform::~Win32Platform() = default;

Win32Platform &Win32Platform::current()
{
    return installedPlatform ? *installedPlatform : builtInWin32Platform();
}

void Win32Platform::install(Win32Platform *platform)
{
    installedPlatform = platform;
}
