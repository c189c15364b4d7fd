#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for the given number of seconds
# (default 30), two at a time; prints executions, coverage and crashes per harness.
# Fails (exit 1) when the harnesses do not build, when one is missing, when one ran no input,
# and when one found a fault.
# Usage: scripts/fuzz.sh [SECONDS] [HARNESS...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B $build -DGRAVLIN_FUZZ=ON -DGRAVLIN_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined" >/dev/null
if ! cmake --build $build -j2 >$build/build.log 2>&1; then
    grep -E "error" $build/build.log | head -n 20 >&2 || true
    echo "fuzz: the harnesses did not build; see $build/build.log" >&2
    exit 1
fi
grep -E "warning" $build/build.log || true
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(fuzz_sgi fuzz_pak fuzz_register fuzz_palette fuzz_document fuzz_png)
python3 fuzz/make_seeds.py $build/seeds
mkdir -p $build/corpus $build/logs $build/artifacts

run_one() {
    local h=$1 dict=()
    [ -x $build/fuzz/$h ] || return 0  # reported as missing below
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
    if [ ! -x $build/fuzz/$h ]; then
        printf '%-16s %12s\n' "$h" missing
        echo "--- $h: no such harness in $build/fuzz"
        failed=1
        continue
    fi
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*' || echo 0)
    crashes=$(find $build/artifacts/$h -type f | wc -l)
    printf '%-16s %12s %8s %8s\n' "$h" "${execs:-0}" "${cov:-0}" "$crashes"
    if [ "${execs:-0}" -eq 0 ]; then
        failed=1
        echo "--- $h: ran no input; see $log"
    fi
    if [ "$crashes" -gt 0 ] || grep -q -E 'ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer)|runtime error' "$log"; then
        failed=1
        echo "--- $h: see $log"
        grep -m 5 -E 'ERROR|runtime error|SUMMARY' "$log" || true
    fi
done
exit $failed
