#!/usr/bin/env bash
# Real window: on a 255x255 sprite, End and PgDn take the cursor to the far corner; the zoomed
# view scrolls with it, so the window shows the cursor's L beside that corner cell.
set -u
build=$1
source "$2/tests/scripts/lib/xvfb.sh"
command -v import >/dev/null || { echo "SKIP: ImageMagick's import is not installed"; exit 77; }
open_session 640x480x16

document="$work/large.vsf"
python3 -c "import sys; sys.stdout.buffer.write(bytes([255, 255, 0, 0, 0]) + bytes([3]) * (255 * 255))" >"$document"
start_koba "$document" || { echo "FAIL: no window captioned 'Gravlin sprite editor'"; exit 1; }
sleep 0.3
xdotool windowfocus --sync "$window" 2>/dev/null
hold End
hold Next

# The view shows cells 192..254 across and 212..254 down: the corner cell is drawn at picture
# pixels (187..188, 127..128) and its L at (187..189, 129) and (189, 127..128), each pixel
# doubled on the screen. The selection frame's corner at (190, 0) has the L's colour.
check() {
    python3 - "$work/shot.rgb" <<'PY'
import sys
shot = open(sys.argv[1], "rb").read()
def pixel(x, y):  # a picture pixel: the top-left of its 2x2 screen block
    at = (2 * y * 640 + 2 * x) * 3
    return shot[at:at + 3]
marker = pixel(190, 0)
l_pixels = [(187, 129), (188, 129), (189, 129), (189, 128), (189, 127)]
wrong = [p for p in l_pixels if pixel(*p) != marker]
if wrong or pixel(188, 127) == marker:
    sys.exit(f"the cursor's L is not beside the corner cell (pixels {wrong} differ from the marker colour)")
PY
}
for attempt in 1 2 3 4 5; do
    sleep 0.5
    import -window root -depth 8 "rgb:$work/shot.rgb" || { echo "FAIL: no screenshot"; exit 1; }
    message=$(check 2>&1) && break
done
[ -z "${message:-}" ] || { echo "FAIL: $message"; exit 1; }
xdotool key Escape
wait_exit $koba || { echo "FAIL: koba did not end within 10 s of Esc"; exit 1; }
koba=
[ "$exit_status" -eq 0 ] || { echo "FAIL: exit status $exit_status"; cat "$work/out"; exit 1; }
echo "ok: the view followed the cursor to the far corner"
