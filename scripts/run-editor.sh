#!/usr/bin/env bash
# Builds koba and opens it on a copy of a bundled example sprite (the copy is saved on Esc).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target koba
example=${1:-examples/worm.vsf}
mkdir -p build/work
copy="build/work/$(basename "$example")"
[ -f "$copy" ] || cp "$example" "$copy"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run-editor: no display is available (DISPLAY is not set), so the editor window cannot open."
    echo "run-editor: on a desktop, run: build/editor/koba $copy"
    echo "run-editor: headless, try: xvfb-run -s '-screen 0 640x480x16' build/editor/koba $copy"
    exit 1
fi
echo "run-editor: editing $copy (Esc saves and quits)"
exec build/editor/koba "$copy"
