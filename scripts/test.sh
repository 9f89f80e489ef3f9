#!/usr/bin/env bash
# Builds WallScan with its tests and runs every test headless: first the normal build, then the
# whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer. Each ends with
# ctest's summary.   bash scripts/test.sh [--quick]   (--quick: the normal build only)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
wallscan_setup
export QT_QPA_PLATFORM=offscreen
# Paths relative to the checkout in ccache's keys: a fresh clone in another folder (as CI makes)
# reuses what an earlier build on the same machine compiled.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
jobs=$(nproc 2>/dev/null || echo 2)
quick=0
[ "${1:-}" = "--quick" ] && quick=1

echo "== build and test"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"

if [ "$quick" -eq 0 ]; then
    echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWALLSCAN_SANITIZE=ON \
        -DWALLSCAN_BENCHMARKS=OFF >/dev/null
    cmake --build build/asan -j "$jobs"
    ctest --test-dir build/asan --output-on-failure -j "$jobs"
fi
