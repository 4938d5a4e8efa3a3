#!/usr/bin/env bash
# Builds Varno and starts it.
#   scripts/run.sh         drives the monitors attached to this computer
#   scripts/run.sh --demo  drives two simulated monitors instead
set -euo pipefail
cd "$(dirname "$0")/.."

"$PWD/scripts/setup-debian.sh"

build=build/release
simulated=OFF
if [[ "${1:-}" == "--demo" ]]; then
    build=build/demo
    simulated=ON
fi
"$PWD/scripts/build.sh" "$build" "$simulated"
exec "$build/varno"
