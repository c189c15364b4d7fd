#!/usr/bin/env bash
# Real window: type a short key sequence into koba under Xvfb, quit with Esc, check the file.
set -u
build=$1
source "$2/tests/scripts/lib/xvfb.sh"
open_session 640x480x16

document="$work/typed.vsf"
start_koba "$document" || { echo "FAIL: no window captioned 'Gravlin sprite editor'"; exit 1; }
sleep 0.3
xdotool windowfocus --sync "$window" 2>/dev/null

# Keys held for several frames, as a person presses them, then quick taps as automation sends
# them (down and up within one frame): both must act, each once.
press() { hold "$@"; }
press shift+Right       # colour 1
press shift+Right       # colour 2
press space             # paints the centre cell (8, 8)
press Right             # cursor to (9, 8)
press shift+Down        # colour 18
press space             # paints (9, 8)
press ctrl+Left         # width 15
press alt+End           # origin column 14
xdotool key Down shift+Right space Up   # (9, 9) painted 19, cursor back to (9, 8)
xdotool key Escape

wait_exit $koba || { echo "FAIL: koba did not end within 10 s of Esc"; exit 1; }
koba=
[ "$exit_status" -eq 0 ] || { echo "FAIL: exit status $exit_status"; cat "$work/out"; exit 1; }
[ -f "$document" ] || { echo "FAIL: $document was not saved"; exit 1; }

size=$(stat -c %s "$document")
expected_size=$((5 + 15 * 16))
[ "$size" -eq "$expected_size" ] || { echo "FAIL: saved $size bytes, expected $expected_size"; exit 1; }
byte() { od -An -tu1 -j "$1" -N1 "$document" | tr -d ' '; }
header="$(byte 0) $(byte 1) $(byte 2) $(byte 3) $(byte 4)"
[ "$header" = "15 16 14 0 0" ] || { echo "FAIL: header '$header', expected '15 16 14 0 0'"; exit 1; }
painted="$(byte $((5 + 8 * 15 + 8))) $(byte $((5 + 8 * 15 + 9)))"
[ "$painted" = "2 18" ] || { echo "FAIL: cells (8,8) (9,8) are '$painted', expected '2 18'"; exit 1; }
tapped=$(byte $((5 + 9 * 15 + 9)))
[ "$tapped" = "19" ] || { echo "FAIL: cell (9,9) is '$tapped', expected 19 from the quick taps"; exit 1; }
others=$(od -An -tu1 -v "$document" | tr -s ' ' '\n' | grep -v '^$' | tail -n +6 | grep -cv '^0$')
[ "$others" -eq 3 ] || { echo "FAIL: $others painted cells, expected 3"; exit 1; }
echo "ok: typed keys reached the saved document"
