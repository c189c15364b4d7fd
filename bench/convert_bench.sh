#!/usr/bin/env bash
# Times the converters against ImageMagick and cp on the same SGI files, and reports peak memory.
#
#   bench/convert_bench.sh [BUILD_DIR] [RUNS]
#
# Makes a 4096x4096 RGBA SGI image, verbatim and RLE (about 64 MiB and 50 MiB), and a 510x510 crop
# of it (hueslab takes at most 511x511). Each command runs RUNS times (default 5); the table shows
# the best wall-clock time and the largest peak resident set. Targets for tintpour on 4096x4096:
# at least 5 times faster than ImageMagick, within 2 times of cp for verbatim input, and peak memory
# at most input + output + 16 MiB. The work folder is under $TMPDIR (default /tmp), so the figures
# are for that file system.
set -eu

build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
tintpour=$build/convert/tintpour
hueslab=$build/convert/hueslab
for program in "$tintpour" "$hueslab"; do
    [ -x "$program" ] || { echo "missing $program: build first (cmake --build $build)" >&2; exit 1; }
done
# ImageMagick's own program, not a wrapper that may stand in front of it on PATH.
magick=/usr/bin/convert
[ -x "$magick" ] || magick=$(command -v convert || true)
[ -n "$magick" ] || { echo "ImageMagick's convert is not installed" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/gravlin-convert-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

echo "making the test images in $work ..."
"$magick" -seed 7 -size 4096x4096 plasma:orange-navy \( -size 4096x4096 radial-gradient:white-black \) \
    -alpha off -compose CopyOpacity -composite -depth 8 -compress None big.sgi
"$magick" big.sgi -depth 8 -compress RLE bigrle.sgi
"$magick" big.sgi -crop 510x510+0+0 +repage -depth 8 -compress None small.sgi
"$magick" small.sgi -depth 8 -compress RLE smallrle.sgi

# Peak resident set in KiB of one run of a command.
peak_kib() {
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -f "%M" -o "$work/.peak" "$@" >/dev/null 2>&1 || true
        tail -n 1 "$work/.peak"
    else
        python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$@"
    fi
}

# measure LABEL COMMAND...: sets best_ms and peak and prints a table row.
measure() {
    local label=$1
    shift
    best_ms=
    peak=0
    for _ in $(seq "$runs"); do
        local start end ms kib
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1 || true
        end=$(date +%s%N)
        ms=$(((end - start) / 1000000))
        if [ -z "$best_ms" ] || [ "$ms" -lt "$best_ms" ]; then best_ms=$ms; fi
    done
    kib=$(peak_kib "$@")
    [ "$kib" -gt "$peak" ] && peak=$kib
    printf "%-44s %8d ms %10.1f MiB\n" "$label" "$best_ms" "$(echo "$peak / 1024" | bc -l)"
}

size_mib() { echo "$(stat -c %s "$1") / 1048576" | bc -l; }

printf "%-44s %11s %14s\n" "command" "best" "peak memory"
for kind in "verbatim big.sgi" "RLE bigrle.sgi"; do
    set -- $kind
    name=$1 file=$2
    measure "tintpour 4096x4096 $name" "$tintpour" "$file"
    tint_ms=$best_ms tint_peak=$peak
    measure "convert $file out.rgba (ImageMagick)" "$magick" "$file" out.rgba
    magick_ms=$best_ms
    measure "cp $file (copy)" cp "$file" copy
    cp_ms=$best_ms
    measure "cp $file + sync (copy made durable)" sh -c "cp '$file' copy && sync copy"
    output=${file%.*}.vas
    limit=$(echo "$(size_mib "$file") + $(size_mib "$output") + 16" | bc -l)
    printf "  %s: %.1fx faster than ImageMagick (target 5), %.1fx the time of cp (target at most 2),\n" \
        "$name" "$(echo "$magick_ms / $tint_ms" | bc -l)" "$(echo "$tint_ms / ($cp_ms + 0.5)" | bc -l)"
    printf "  peak %.1f MiB against input + output + 16 MiB = %.1f MiB\n" \
        "$(echo "$tint_peak / 1024" | bc -l)" "$limit"
done
for kind in "verbatim small.sgi" "RLE smallrle.sgi"; do
    set -- $kind
    measure "hueslab 510x510 $1" "$hueslab" "$2"
    measure "tintpour 510x510 $1" "$tintpour" "$2"
    measure "convert $2 out.rgba (ImageMagick)" "$magick" "$2" out.rgba
    measure "cp $2 (copy)" cp "$2" copy
done
