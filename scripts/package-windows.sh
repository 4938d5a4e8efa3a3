#!/usr/bin/env bash
# Makes Varno's download for 64-bit Windows on Linux, as root:
# varno-<version>-windows-x64.zip (varno.exe, varnoctl.exe and a read-me) and
# the installer varno-<version>-setup.exe, in build/windows/package/. Builds
# Varno in release mode with mingw-w64 against the Qt for mingw of
# scripts/setup-mingw-qt-quick.sh, which it builds first where it is missing
# (about an hour, once).
set -euo pipefail
cd "$(dirname "$0")/.."

"$PWD/scripts/setup-debian.sh" --windows
qt=$("$PWD/scripts/setup-mingw-qt-quick.sh")

build=build/windows
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target windows_package
ls -1 "$PWD/$build"/package/varno-*
