#!/usr/bin/env bash
# Processor use of an idle koba: a fresh document under Xvfb at 800x600x24, nothing typed.
#
#   bench/idle_cpu.sh [RUNS] KOBA [KOBA ...]
#
# For each program (a koba with its KOBA.VPK beside it; give two to compare builds in one
# session), RUNS times (default 5): start it, wait for its window and one more second of
# start-up, then read its user + system time from /proc/PID/stat over 5 s. Prints every run and
# the minimum in percent of one core. Other work on the machine only adds to a run's figure
# (waiting for the processor makes a wake-up costlier, never cheaper), so the minimum is the
# figure to quote; the load average is printed beside it.
set -eu

runs=5
case "${1:-}" in [0-9]*) runs=$1; shift ;; esac
[ $# -ge 1 ] || { echo "usage: $0 [RUNS] KOBA [KOBA ...]" >&2; exit 2; }
for program in "$@"; do
    [ -x "$program" ] || { echo "missing $program" >&2; exit 1; }
done
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/tests/scripts/lib/xvfb.sh"
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "needs Xvfb and xdotool" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
koba=
trap '[ -n "$koba" ] && kill "$koba" 2>/dev/null; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
start_xvfb 800x600x24 "$work/xvfb.log" || { echo "Xvfb did not start" >&2; exit 1; }

ticks_per_second=$(getconf CLK_TCK)
# User + system time in clock ticks: fields 14 and 15, counted after the ")" that ends the name.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }

for program in "$@"; do
    results=()
    for run in $(seq "$runs"); do
        "$program" >"$work/out" 2>&1 &
        koba=$!
        find_window "Gravlin sprite editor" >/dev/null || { echo "no window from $program" >&2; cat "$work/out" >&2; exit 1; }
        sleep 1
        before=$(cpu_ticks "$koba")
        sleep 5
        after=$(cpu_ticks "$koba")
        kill "$koba"
        wait "$koba" 2>/dev/null || true
        koba=
        results+=("$(awk -v t=$((after - before)) -v hz="$ticks_per_second" 'BEGIN { printf "%.1f", 100 * t / hz / 5 }')")
    done
    minimum=$(printf '%s\n' "${results[@]}" | sort -n | head -n 1)
    echo "$program: ${results[*]} % of one core; minimum $minimum % (load $(cut -d' ' -f1-3 /proc/loadavg))"
done
