#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds
# (default 60). New inputs go to build/fuzz/corpus, seeded from fuzz/corpus; findings
# (crash-*, leak-*, timeout-*) land in build/fuzz/findings.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
WALLSCAN_PACKAGES+=(clang libclang-rt-14-dev)
wallscan_setup
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(sed -n 's/^wallscan_fuzz(\([a-z_]*\) .*/\1/p' fuzz/CMakeLists.txt))
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DWALLSCAN_FUZZ=ON -DWALLSCAN_TESTS=OFF -DWALLSCAN_BENCHMARKS=OFF >/dev/null
cmake --build build/fuzz --target "${targets[@]}"
mkdir -p build/fuzz/findings
status=0
for t in "${targets[@]}"; do
    work=build/fuzz/corpus/$t
    mkdir -p "$work"
    [ -d "fuzz/corpus/$t" ] && cp -n fuzz/corpus/$t/* "$work"/ 2>/dev/null || true
    echo "== $t: ${seconds}s"
    if ! build/fuzz/fuzz/$t "$work" -max_total_time="$seconds" -max_len=200000 -timeout=10 \
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build/fuzz/findings/$t- \
            2> "build/fuzz/$t.log"; then
        status=1
        echo "!! $t found a problem: see build/fuzz/$t.log and build/fuzz/findings/"
    fi
    grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb)|cov: " "build/fuzz/$t.log" | tail -3
done
exit $status
