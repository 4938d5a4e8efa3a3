#!/usr/bin/env bash
# Compiles every source of the programs (the window and varnoctl), and the
# meta-object code of their classes, as the 64-bit Windows build sees them:
# mingw-w64's Windows headers, _WIN32 set by the compiler, and Debian's Qt
# headers standing in for a Windows Qt of the same version. No Windows machine builds Varno before a release, so
# this is what keeps the Windows-only code compiling. Nothing is linked: there
# are no Windows Qt libraries here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

compiler=x86_64-w64-mingw32-g++-posix
command -v "$compiler" >/dev/null || "$root/scripts/setup-debian.sh" --tests

qt_headers=$(qtpaths6 --query QT_INSTALL_HEADERS)
moc=$(qtpaths6 --query QT_INSTALL_LIBEXECS)/moc

# The definitions that Qt's CMake packages give every Windows target (Release
# configuration, as shipped), and the program's own.
version=$(sed -n 's/^project(Varno VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
definitions=(
    -DUNICODE -D_UNICODE -DWIN32 -DWIN64 -D_WIN64 -D_ENABLE_EXTENDED_ALIGNED_STORAGE
    -DMINGW_HAS_SECURE_API=1
    -DQT_NO_JAVA_STYLE_ITERATORS -DQT_NO_NARROWING_CONVERSIONS_IN_CONNECT -DQT_NO_DEBUG
    "-DVARNO_VERSION=\"$version\""
)
# Sets `flags` for a target that uses the given Qt modules. -isystem: warnings
# inside Qt's own headers are not ours to fix.
use_modules() {
    flags=(-std=c++17 "${definitions[@]}" -I "$root/src" -isystem "$qt_headers")
    local module
    for module in "$@"; do
        flags+=("-DQT_$(tr '[:lower:]' '[:upper:]' <<<"$module")_LIB" -isystem "$qt_headers/Qt$module")
    done
}
# The window uses these; varnoctl, a console program, Qt Core alone (as
# src/CMakeLists.txt builds it).
window_modules=(Core Gui Qml Quick QuickControls2)
console_sources=(Edid.cpp PnpCompanyNames.cpp MonitorIdentity.cpp DDCReadPolicy.cpp MonitorDiscovery.cpp
    DDCMonitorAccess.cpp DDCCommandLine.cpp varnoctl.cpp)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# moc sees the macros the cross compiler predefines (_WIN32 among them), as
# CMake's automoc would give it on Windows.
use_modules "${window_modules[@]}"
"$compiler" "${flags[@]}" -dM -E -x c++ /dev/null >"$work/moc_predefs.h"

# With the Windows SDK, windows.h defines the macros min and max unless the
# program sets NOMINMAX. mingw-w64's does not in C++, and its C++ library sets
# NOMINMAX for every program. Undo both, so that code which forgets NOMINMAX
# fails here as it would with the SDK.
mkdir "$work/sdk"
printf '#include <bits/c++config.h>\n#undef NOMINMAX\n' >"$work/sdk/no_default_nominmax.h"
cat >"$work/sdk/windows.h" <<'END'
#include_next <windows.h>
#if !defined(NOMINMAX) && !defined(max)
#define max(a, b) (((a) > (b)) ? (a) : (b))
#define min(a, b) (((a) < (b)) ? (a) : (b))
#endif
END

sources=("$root"/src/*.cpp)
for header in "$root"/src/*.h; do
    grep -qE '^\s*Q_(OBJECT|GADGET)\b' "$header" || continue
    name=$(basename "$header" .h)
    "$moc" --include "$work/moc_predefs.h" "${definitions[@]}" -I "$root/src" \
        -f "$name.h" "$header" -o "$work/moc_$name.cpp"
    sources+=("$work/moc_$name.cpp")
done

cross_compile() {
    "$compiler" -I "$work/sdk" -include no_default_nominmax.h "${flags[@]}" "$@"
}
failed=0
check() {
    local shown=${1#"$root/"}
    echo "${shown#"$work/"}$2"
    cross_compile -fsyntax-only -Wall -Wextra -Werror "$1" || failed=1
}
for source in "${sources[@]}"; do
    check "$source" ""
done
use_modules Core
for source in "${console_sources[@]}"; do
    check "$root/src/$source" " (Qt Core alone)"
    # Every module's headers lie below one directory, so a header of another
    # module would still be found: look for one.
    others=$(cross_compile -M "$root/src/$source" | tr ' ' '\n' \
        | grep "^$qt_headers/Qt" | grep -v "^$qt_headers/QtCore/" || true)
    if [[ -n "$others" ]]; then
        echo "$others"
        failed=1
    fi
done
exit "$failed"
