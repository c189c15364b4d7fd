#!/usr/bin/env bash
# Real window: type a short key sequence into koba under Xvfb, quit with Esc, check the file.
set -u
build=$1
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIP: Xvfb or xdotool is not installed"
    exit 77
fi
work=$(mktemp -d)
xvfb=
koba=
cleanup() {
    [ -n "$koba" ] && kill "$koba" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
display=:$((90 + RANDOM % 500))
Xvfb $display -screen 0 640x480x16 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do
    [ -e /tmp/.X11-unix/X${display#:} ] && break
    sleep 0.1
done
if ! kill -0 $xvfb 2>/dev/null; then
    echo "SKIP: Xvfb did not start"; cat "$work/xvfb.log"
    exit 77
fi
export DISPLAY=$display
unset SDL_VIDEODRIVER

document="$work/typed.vsf"
"$build/editor/koba" "$document" >"$work/out" 2>&1 &
koba=$!
window=
for _ in $(seq 100); do
    window=$(xdotool search --name "Gravlin sprite editor" 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "FAIL: no window captioned 'Gravlin sprite editor'"; cat "$work/out"; exit 1
fi
sleep 0.3
xdotool windowfocus --sync "$window" 2>/dev/null

# Each key is held for several 24 ms frames: a tap shorter than a frame may go unseen.
press() {
    xdotool keydown "$@"
    sleep 0.12
    xdotool keyup "$@"
    sleep 0.08
}
press shift+Right       # colour 1
press shift+Right       # colour 2
press space             # paints the centre cell (8, 8)
press Right             # cursor to (9, 8)
press shift+Down        # colour 18
press space             # paints (9, 8)
press ctrl+Left         # width 15
press alt+End           # origin column 14
press Escape

status=
for _ in $(seq 50); do
    if ! kill -0 $koba 2>/dev/null; then wait $koba; status=$?; koba=; break; fi
    sleep 0.1
done
[ -n "$status" ] || { echo "FAIL: koba did not end within 5 s of Esc"; exit 1; }
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; cat "$work/out"; exit 1; }
[ -f "$document" ] || { echo "FAIL: $document was not saved"; exit 1; }

size=$(stat -c %s "$document")
expected_size=$((5 + 15 * 16))
[ "$size" -eq "$expected_size" ] || { echo "FAIL: saved $size bytes, expected $expected_size"; exit 1; }
byte() { od -An -tu1 -j "$1" -N1 "$document" | tr -d ' '; }
header="$(byte 0) $(byte 1) $(byte 2) $(byte 3) $(byte 4)"
[ "$header" = "15 16 14 0 0" ] || { echo "FAIL: header '$header', expected '15 16 14 0 0'"; exit 1; }
painted="$(byte $((5 + 8 * 15 + 8))) $(byte $((5 + 8 * 15 + 9)))"
[ "$painted" = "2 18" ] || { echo "FAIL: cells (8,8) (9,8) are '$painted', expected '2 18'"; exit 1; }
others=$(od -An -tu1 -v "$document" | tr -s ' ' '\n' | grep -v '^$' | tail -n +6 | grep -cv '^0$')
[ "$others" -eq 2 ] || { echo "FAIL: $others painted cells, expected 2"; exit 1; }
echo "ok: typed keys reached the saved document"
