#!/usr/bin/env bash
# Builds Varno's benchmark in release mode and prints its table of figures
# for the commit checked out. Takes a few minutes; nothing passes or fails.
#   scripts/bench.sh [--runs N]    N runs of every measurement (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."

"$PWD/scripts/setup-debian.sh" --tests

build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_varno

commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
git diff --quiet HEAD 2>/dev/null || commit+=" with local changes"
echo "Commit $commit, $(nproc) cores"
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb \
    xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
    "$build/bench/bench_varno" "$@"
