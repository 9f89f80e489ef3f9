#!/usr/bin/env bash
# Builds WallScan with its tests and runs every test headless; ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
wallscan_setup
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs" "$@"
