#!/usr/bin/env bash
# Builds Varno with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

"$PWD/scripts/setup-debian.sh" --tests
# The Windows tests, which run under Wine, are built with a Qt for mingw that
# this builds once per machine (10 to 30 minutes) and reuses after that.
# Without it they are skipped. The tests of the window and the download need
# Qt Gui and Quick for mingw as well, an hour's build or more, which is left
# to scripts/setup-mingw-qt-quick.sh: the test build uses it where it is.
"$PWD/scripts/setup-mingw-qt.sh" >/dev/null \
    || echo "Qt for mingw could not be built: the Windows tests will be skipped" >&2

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure
