#!/usr/bin/env bash
# Starts Varno with its simulated monitors under a virtual X server and saves
# a picture of the window as build/screenshots/main.png, for a person to look at.
set -euo pipefail
cd "$(dirname "$0")/.."

"$PWD/scripts/setup-debian.sh" --tests

build=${VARNO_BUILD:-build/test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug > /dev/null
cmake --build "$build" --target varno_demo x11window
mkdir -p build/screenshots

export VARNO_PROGRAM="$build/tests/e2e/varno_demo"
export VARNO_WINDOW_TOOL="$build/tests/e2e/x11window"
export VARNO_PICTURE=build/screenshots/main.png
xvfb-run --auto-servernum --server-args="-screen 0 800x600x24" bash -c '
    set -euo pipefail
    QT_QPA_PLATFORM=xcb "$VARNO_PROGRAM" 2> /dev/null &
    "$VARNO_WINDOW_TOOL" wait "ZOD ID IDA" 20000
    sleep 1
    import -window "ZOD ID IDA" "$VARNO_PICTURE"
    "$VARNO_WINDOW_TOOL" close "ZOD ID IDA"
    wait
'
echo "Saved $VARNO_PICTURE"
