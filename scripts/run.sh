#!/usr/bin/env bash
# Builds a Release WallScan and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
wallscan_setup
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DWALLSCAN_TESTS=OFF \
    -DWALLSCAN_BENCHMARKS=OFF >/dev/null
cmake --build build/release --target wallscan wallscan-cli wallscan-gauge-sim wallscan_share
exec build/release/wallscan "$@"
