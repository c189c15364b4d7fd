#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running the tools need.
# Quick when everything is present: the package lists are refreshed only when something is missing.
set -euo pipefail

packages=(cmake g++ make pkg-config libsdl1.2-compat-dev googletest libgtest-dev libbenchmark-dev
          libpng-dev xvfb xdotool imagemagick clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "bootstrap: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
