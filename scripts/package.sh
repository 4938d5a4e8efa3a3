#!/usr/bin/env bash
# Builds the Debian package of Varno into build/package/, from the program
# that scripts/run.sh builds and starts.
set -euo pipefail
cd "$(dirname "$0")/.."

"$PWD/scripts/setup-debian.sh" --package
"$PWD/scripts/build.sh" build/release OFF

rm -rf build/package
cpack --config build/release/CPackConfig.cmake -G DEB -B "$PWD/build/package"
rm -rf build/package/_CPack_Packages
