#!/usr/bin/env bash
# Takes docs/screenshot.png: koba on a copy of examples/worm.vsf in a real window under Xvfb,
# with a worm pink picked so that the legend shows its flags.
# Usage: scripts/screenshot.sh [BUILD_DIR] (default: build, configured and built if needed)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
for tool in Xvfb xdotool import; do
    command -v $tool >/dev/null || { echo "screenshot: $tool is not installed (scripts/bootstrap.sh installs it)"; exit 1; }
done
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j2 --target koba

source tests/scripts/lib/xvfb.sh
work=$(mktemp -d)
xvfb_pid=
koba=
cleanup() {
    [ -n "$koba" ] && kill "$koba" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# The screen is exactly the window's size, so the root window is the editor's picture.
start_xvfb 640x480x16 "$work/xvfb.log" || { echo "screenshot: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }

cp examples/worm.vsf "$work/worm.vsf"
"$build/editor/koba" "$work/worm.vsf" >"$work/koba.log" 2>&1 &
koba=$!
window=$(find_window "Gravlin sprite editor") || { echo "screenshot: koba did not open its window"; cat "$work/koba.log"; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null || true

press() { hold "$@"; }
# Colour 112 (a worm pink): seven palette rows down from 0, on the cursor's cell.
for _ in $(seq 7); do press shift+Down; done
press Up
press Left
sleep 0.5
import -window root docs/screenshot.png
press Escape
wait "$koba" || true
koba=
echo "screenshot: wrote docs/screenshot.png"
