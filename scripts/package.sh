#!/usr/bin/env bash
# Builds the Debian package of WallScan:  bash scripts/package.sh
# Result: build/package/wallscan_<version>_<arch>.deb, installed with
#   sudo apt install ./build/package/wallscan_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
wallscan_setup
command -v dpkg-shlibdeps >/dev/null 2>&1 || {
    echo "package: dpkg-shlibdeps is missing (Debian package dpkg-dev)" >&2
    exit 1
}
out=build/package
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWALLSCAN_TESTS=OFF \
    -DWALLSCAN_BENCHMARKS=OFF >/dev/null
cmake --build "$out"
# A package from an earlier version would otherwise be picked up by "apt install ./...".
rm -f "$out"/wallscan_*.deb
(cd "$out" && cpack -G DEB >/dev/null)
deb=$(ls "$out"/wallscan_*.deb)
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends
