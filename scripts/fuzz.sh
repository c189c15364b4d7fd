#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for the given number of seconds
# (default 30), two at a time; prints executions, coverage and crashes per harness.
# Usage: scripts/fuzz.sh [SECONDS] [HARNESS...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B $build -DGRAVLIN_FUZZ=ON -DGRAVLIN_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined" >/dev/null
cmake --build $build -j2 2>&1 | grep -E "error|warning" || true
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(fuzz_sgi fuzz_pak fuzz_register fuzz_palette fuzz_document fuzz_png)
python3 fuzz/make_seeds.py $build/seeds
mkdir -p $build/corpus $build/logs $build/artifacts

run_one() {
    local h=$1 dict=()
    case $h in fuzz_sgi) dict=(-dict=fuzz/sgi.dict) ;; fuzz_pak) dict=(-dict=fuzz/pak.dict) ;; esac
    mkdir -p $build/corpus/$h $build/artifacts/$h
    SDL_VIDEODRIVER=dummy $build/fuzz/$h "${dict[@]}" -max_total_time="$seconds" -rss_limit_mb=4096 \
        -max_len=70000 -artifact_prefix=$build/artifacts/$h/ -print_final_stats=1 \
        $build/corpus/$h $build/seeds/$h >$build/logs/$h.log 2>&1 || true
}

pids=()
for h in "${harnesses[@]}"; do
    run_one "$h" &
    pids+=($!)
    if [ ${#pids[@]} -ge 2 ]; then wait "${pids[0]}"; pids=("${pids[@]:1}"); fi
done
wait

failed=0
printf '%-16s %12s %8s %8s\n' harness executions coverage crashes
for h in "${harnesses[@]}"; do
    log=$build/logs/$h.log
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*' || echo 0)
    crashes=$(find $build/artifacts/$h -type f | wc -l)
    printf '%-16s %12s %8s %8s\n' "$h" "${execs:-0}" "${cov:-0}" "$crashes"
    if [ "$crashes" -gt 0 ] || grep -q -E 'ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer)|runtime error' "$log"; then
        failed=1
        echo "--- $h: see $log"
        grep -m 5 -E 'ERROR|runtime error|SUMMARY' "$log" || true
    fi
done
exit $failed
