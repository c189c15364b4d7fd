#!/usr/bin/env bash
# Rebuilds the example sprites of examples/ from the pictures in examples/make_examples.cpp.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j2 --target koba-examples
"$build/editor/koba-examples" examples
ls -l examples/*.vsf
