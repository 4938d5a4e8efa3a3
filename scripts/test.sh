#!/usr/bin/env bash
# Builds Varno with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

"$PWD/scripts/setup-debian.sh" --tests

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure
