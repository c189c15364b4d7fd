#!/usr/bin/env bash
# Runs the programs themselves, built with the sanitizers (build-asan), over the fuzz corpora
# (build-fuzz/corpus, made by scripts/fuzz.sh): every SGI image through tintpour and hueslab,
# every pack through vpk list/extract/preview and as koba's own pack, every document in koba.
# Reports any sanitizer finding, failed assertion or unexpected exit status.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
asan=$root/build-asan
corpus=$root/build-fuzz/corpus
[ -x "$asan/editor/koba" ] || { echo "sweep: build build-asan first (scripts/test.sh does)"; exit 2; }
[ -d "$corpus" ] || { echo "sweep: no corpus; run scripts/fuzz.sh first"; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export SDL_VIDEODRIVER=dummy ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$root/tests/lsan.supp
cp "$asan/editor/koba" .
runs=0
bad=0
# check ALLOWED_STATUSES... -- COMMAND...: one run, judged by its exit status and its messages.
check() {
    local allowed=$1 status
    shift
    runs=$((runs + 1))
    "$@" >out.txt 2>err.txt
    status=$?
    if grep -q -E 'ERROR: AddressSanitizer|runtime error|LeakSanitizer|Assertion' err.txt ||
        ! [[ " $allowed " == *" $status "* ]]; then
        bad=$((bad + 1))
        echo "sweep: $* -> status $status ($current)"
        grep -m 3 -E 'ERROR|runtime error|SUMMARY|Assertion' err.txt
    fi
}
for current in "$corpus"/fuzz_sgi/*; do
    cp "$current" in.sgi
    check "0 1 203" "$asan/convert/tintpour" in.sgi
    check "0 1 203" "$asan/convert/hueslab" in.sgi
done
for current in "$corpus"/fuzz_pak/*; do
    cp "$current" KOBA.VPK
    check "0 1 100" "$asan/tools/vpk" list KOBA.VPK
    check "0 1 100" "$asan/tools/vpk" extract KOBA.VPK out
    check "0 1 100" "$asan/tools/vpk" preview KOBA.VPK out.png
    # A pack that loads leaves koba running: SIGTERM ends it like Esc (143: it came before koba
    # had set up its handlers, on a busy machine).
    check "0 1 100 143" timeout --preserve-status -s TERM 0.4 ./koba
    rm -rf out out.png
done
cp "$root/build/editor/KOBA.VPK" . 2>/dev/null || cp "$asan/editor/KOBA.VPK" .
for current in "$corpus"/fuzz_document/*; do
    cp "$current" doc.vsf
    check "0 100 143" timeout --preserve-status -s TERM 0.4 ./koba doc.vsf
done
echo "sweep: $runs runs, $bad with findings"
[ "$bad" -eq 0 ]
