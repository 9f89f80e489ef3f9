#!/usr/bin/env bash
# Installs what building and testing WallScan needs on Debian, when it is missing.
# Sourced by run.sh and test.sh; runs apt-get only as root, otherwise prints the line to run.
set -euo pipefail

WALLSCAN_PACKAGES=(build-essential cmake ninja-build ccache pkg-config qt6-base-dev
    qt6-serialport-dev qt6-translations-l10n libsqlite3-dev libgtest-dev libbenchmark-dev
    xvfb xauth xdotool imagemagick poppler-utils fonts-dejavu-core fonts-liberation2
    desktop-file-utils libxml2-utils appstream)

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
    # A fresh machine pulls in a few hundred megabytes here: say what and let apt show its progress,
    # so a long wait does not look like a hang.
    echo "setup: installing the packages WallScan needs to build and test:" >&2
    echo "       $missing" >&2
    apt-get update
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
}
