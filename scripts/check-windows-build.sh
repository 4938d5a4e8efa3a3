#!/usr/bin/env bash
# Compiles every source of the program, and the meta-object code of its
# classes, as the 64-bit Windows build sees them: mingw-w64's Windows headers,
# _WIN32 set by the compiler, and Debian's Qt headers standing in for a Windows
# Qt of the same version. No Windows machine builds Varno before a release, so
# this is what keeps the Windows-only code compiling. Nothing is linked: there
# are no Windows Qt libraries here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

compiler=x86_64-w64-mingw32-g++-posix
command -v "$compiler" >/dev/null || "$root/scripts/setup-debian.sh" --tests

qt_headers=$(qtpaths6 --query QT_INSTALL_HEADERS)
moc=$(qtpaths6 --query QT_INSTALL_LIBEXECS)/moc

# The modules the program uses, and the definitions that Qt's CMake packages
# give every Windows target (Release configuration, as shipped).
modules=(Core Gui Qml Quick QuickControls2)
definitions=(
    -DUNICODE -D_UNICODE -DWIN32 -DWIN64 -D_WIN64 -D_ENABLE_EXTENDED_ALIGNED_STORAGE
    -DMINGW_HAS_SECURE_API=1
    -DQT_NO_JAVA_STYLE_ITERATORS -DQT_NO_NARROWING_CONVERSIONS_IN_CONNECT -DQT_NO_DEBUG
)
# -isystem: warnings inside Qt's own headers are not ours to fix.
includes=(-I "$root/src" -isystem "$qt_headers")
for module in "${modules[@]}"; do
    definitions+=("-DQT_$(tr '[:lower:]' '[:upper:]' <<<"$module")_LIB")
    includes+=(-isystem "$qt_headers/Qt$module")
done
flags=(-std=c++17 "${definitions[@]}" "${includes[@]}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# moc sees the macros the cross compiler predefines (_WIN32 among them), as
# CMake's automoc would give it on Windows.
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

failed=0
for source in "${sources[@]}"; do
    shown=${source#"$root/"}
    echo "${shown#"$work/"}"
    "$compiler" -I "$work/sdk" -include no_default_nominmax.h "${flags[@]}" \
        -fsyntax-only -Wall -Wextra -Werror "$source" || failed=1
done
exit "$failed"
