#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running the tools need.
# Quick when everything is present: the package lists are refreshed only when something is missing.
set -euo pipefail

# python3 makes the fuzz seeds and drives the real-window tests; clang builds the fuzz harnesses.
packages=(cmake g++ make pkg-config libsdl1.2-compat-dev googletest libgtest-dev libbenchmark-dev
          libpng-dev xvfb xdotool imagemagick python3 clang)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
updated=0

install_missing() {
    local missing=() p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "bootstrap: installing ${missing[*]}"
    if [ $updated -eq 0 ]; then
        "${sudo_cmd[@]}" apt-get update -qq
        updated=1
    fi
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install_missing "${packages[@]}"

# The sanitizer and fuzzer runtime must be the installed clang's own: its major version names
# the package (clang 14 takes libclang-rt-14-dev).
clang_major=$(clang --version | sed -n 's/.*clang version \([0-9][0-9]*\).*/\1/p' | head -n 1)
if [ -z "$clang_major" ]; then
    echo "bootstrap: cannot tell the version of the installed clang" >&2
    exit 1
fi
install_missing "libclang-rt-$clang_major-dev"
