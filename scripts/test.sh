#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer (debug, assertions on), and a short run of
# every fuzz harness, then the sanitizer-built programs over what the fuzzers found.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DGRAVLIN_SANITIZE=ON >/dev/null
cmake --build build-asan -j2
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
    ctest --test-dir build-asan --output-on-failure -j2

bash scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
bash scripts/sweep-programs.sh
