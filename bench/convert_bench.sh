#!/usr/bin/env bash
# Times the converters against ImageMagick and cp on the same files, and reports peak memory.
#
#   bench/convert_bench.sh [BUILD_DIR] [RUNS]
#
# Batches: 500 small RGBA pictures (sides 8 to 128, mixed; sprite-like: a shaded disc with soft
# edges on a transparent background), once as PNG and once as verbatim SGI files, converted by one
# call of each converter (-o into a folder), against one ImageMagick mogrify call writing them as
# raw RGBA and one cp of them all. Target: each converter at least 10 times faster than mogrify.
# Creating 500 files costs the same to all of them; TMPDIR=/dev/shm leaves the disk out.
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
# ImageMagick's own programs, not wrappers that may stand in front of them on PATH.
magick=/usr/bin/convert
[ -x "$magick" ] || magick=$(command -v convert || true)
[ -n "$magick" ] || { echo "ImageMagick's convert is not installed" >&2; exit 1; }
mogrify=/usr/bin/mogrify
[ -x "$mogrify" ] || mogrify=$(command -v mogrify || true)
[ -n "$mogrify" ] || { echo "ImageMagick's mogrify is not installed" >&2; exit 1; }

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

echo "making 500 small pictures, as PNG and as verbatim SGI files ..."
python3 - batch <<'MAKE'
import struct, sys, zlib, os
out = sys.argv[1]
for kind in ("png", "sgi"):
    os.makedirs(os.path.join(out, kind), exist_ok=True)
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
for i in range(500):
    w, h = 8 + (i * 37) % 121, 8 + (i * 53) % 121
    cx, cy, r = w / 2, h / 2, min(w, h) / 2 - 1
    pixels = []
    seed = i
    for y in range(h):
        for x in range(w):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            alpha = max(0, min(255, int((r - d) * 128)))
            shade = int(255 * (1 - d / (r + 1))) if alpha else 0
            if y == h // 3:
                seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
                shade = seed >> 23
            pixels.append((shade, shade // 2 + i % 64, (x // 4 % 2) * 120 if alpha else 0, alpha))
    rows = b"".join(b"\0" + b"".join(bytes(p) for p in pixels[y * w:(y + 1) * w]) for y in range(h))
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(rows, 6)) + chunk(b"IEND", b"")
    open(os.path.join(out, "png", "sprite%03d.png" % i), "wb").write(png)
    head = struct.pack(">HBBHHHH", 474, 0, 1, 3, w, h, 4) + struct.pack(">II", 0, 255)
    head = head.ljust(512, b"\0")
    planes = b"".join(bytes(pixels[y * w + x][c] for y in reversed(range(h)) for x in range(w)) for c in range(4))
    open(os.path.join(out, "sgi", "sprite%03d.sgi" % i), "wb").write(head + planes)
MAKE

# cpu_ms COMMAND...: the best CPU time (user + system) of RUNS runs, in ms; on a loaded machine
# steadier than the wall-clock time, which then counts the waits for a core.
cpu_ms() {
    local best= ms
    for _ in $(seq "$runs"); do
        if command -v perf >/dev/null && perf stat -x, -e task-clock -o "$work/.cpu" "$@" >/dev/null 2>&1; then
            ms=$(awk -F, '/task-clock/ { printf "%d", $1 }' "$work/.cpu")
        else
            /usr/bin/time -f "%U %S" -o "$work/.cpu" "$@" >/dev/null 2>&1 || true
            ms=$(awk 'END { printf "%d", ($1 + $2) * 1000 }' "$work/.cpu")
        fi
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
}

# batch LABEL COMMAND...: the command on a fresh, empty folder out; prints wall and CPU time.
batch() {
    local label=$1
    shift
    measure "$label" sh -c 'rm -rf out && mkdir out && exec "$@"' batch "$@"
    batch_ms=$best_ms
    rm -rf out && mkdir out
    batch_cpu=$(cpu_ms sh -c 'rm -rf out && mkdir out && exec "$@"' batch "$@")
    printf "%-44s %8d ms CPU\n" "" "$batch_cpu"
}

echo "batches of 500 in one call each, outputs into an empty folder (wall and CPU time):"
for kind in png sgi; do
    batch "tintpour -o out batch/$kind/*" "$tintpour" -o out batch/$kind/*
    tint_ms=$batch_ms tint_cpu=$batch_cpu
    batch "hueslab -o out batch/$kind/*" "$hueslab" -o out batch/$kind/*
    hue_ms=$batch_ms hue_cpu=$batch_cpu
    batch "mogrify -path out -format rgba batch/$kind/*" "$mogrify" -path out -format rgba -depth 8 batch/$kind/*
    magick_ms=$batch_ms magick_cpu=$batch_cpu
    batch "cp batch/$kind/* out/" cp batch/$kind/* out/
    printf "  %s: tintpour %.1fx (CPU %.1fx), hueslab %.1fx (CPU %.1fx) faster than ImageMagick (target 10)\n" "$kind" \
        "$(echo "$magick_ms / ($tint_ms + 0.5)" | bc -l)" "$(echo "$magick_cpu / ($tint_cpu + 0.5)" | bc -l)" \
        "$(echo "$magick_ms / ($hue_ms + 0.5)" | bc -l)" "$(echo "$magick_cpu / ($hue_cpu + 0.5)" | bc -l)"
done
