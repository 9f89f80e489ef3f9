#!/usr/bin/env bash
# Installs what building and testing WallScan needs on Debian, when it is missing.
# Sourced by run.sh and test.sh; runs apt-get only as root, otherwise prints the line to run.
set -euo pipefail

WALLSCAN_PACKAGES=(build-essential cmake ninja-build ccache pkg-config qt6-base-dev
    qt6-serialport-dev libgtest-dev libbenchmark-dev xvfb xauth xdotool imagemagick
    poppler-utils fonts-dejavu-core fonts-liberation2)

wallscan_missing_packages() {
    local missing=()
    for p in "${WALLSCAN_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    echo "${missing[@]:-}"
}

wallscan_setup() {
    command -v dpkg-query >/dev/null 2>&1 || { echo "setup: not a Debian system; install Qt 6 (Widgets, SerialPort, PrintSupport), CMake, Ninja, GoogleTest by hand" >&2; return 0; }
    local missing
    missing=$(wallscan_missing_packages)
    [ -z "$missing" ] && return 0
    local line="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing"
    if [ "$(id -u)" -ne 0 ]; then
        echo "WallScan needs these packages: $missing" >&2
        echo "Run as root:  $line" >&2
        exit 1
    fi
    echo "setup: installing $missing" >&2
    apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
}
