#!/usr/bin/env bash
# Cross-builds Qt's Core and Test modules for 64-bit Windows (mingw-w64),
# static, from Debian's own qt6-base source with Debian's Qt as the host Qt:
# no package ships a Qt for mingw. The build lands in a cache outside the
# source tree, keyed by its options (see mingw-qt-common.sh). Run as root.
#   scripts/setup-mingw-qt.sh                 build if missing; print the prefix last
#   scripts/setup-mingw-qt.sh --print-prefix  print the prefix; fail if it is not built
# A first build takes 10 to 30 minutes on two cores, as busy as they are;
# after that, a second.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/mingw-qt-common.sh"

prefix=$(mingw_qt_prefix "" "${qt_core_options[@]}")

print_prefix_if_built "$prefix" "$0" "$@"
install_missing_packages "${qtbase_build_dependencies[@]}"
lock_prefix "$prefix"
build_core() {
    fetch_qtbase_source
    build_qtbase "$prefix" "$prefix.build" "$prefix.log" "${qt_core_options[@]}"
}
build_once "$prefix/.installed" "$prefix.log" "Core and Test" \
    "a first build takes 10 to 30 minutes on two cores" build_core
rm -rf "$prefix.build"
echo "$prefix"
