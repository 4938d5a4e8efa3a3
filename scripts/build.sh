#!/usr/bin/env bash
# Builds Varno as it is used, without tests, for scripts/run.sh and
# scripts/package.sh.
#   scripts/build.sh DIRECTORY SIMULATED
# SIMULATED is ON for two simulated monitors, OFF for the attached ones.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DVARNO_SIMULATED_MONITORS="$2"
cmake --build "$1"
