# Real window: on a 255x255 sprite, End and PgDn take the cursor to the far corner; the zoomed view
# scrolls with it to cells 192..254 across and 212..254 down, so the corner cell is drawn at picture
# pixels (187..188, 127..128) and the cursor's L at (187..189, 129) and (189, 127..128), each pixel
# doubled on the screen, in the colour of the selection frame's corner at (190, 0).
source "$2/tests/scripts/lib/xvfb.sh"
open_session 640x480x16 import
python3 -c "import sys; sys.stdout.buffer.write(bytes([255, 255, 0, 0, 0]) + bytes([3]) * (255 * 255))" >"$work/large.vsf"
launch "$work/large.vsf"
hold End Next
screen_shows <<'PY'
pixel = lambda x, y: shot[(2 * y * 640 + 2 * x) * 3:][:3]  # a picture pixel: its 2x2 block's top left
wrong = [p for p in [(187, 129), (188, 129), (189, 129), (189, 128), (189, 127)] if pixel(*p) != pixel(190, 0)]
if wrong or pixel(188, 127) == pixel(190, 0):
    sys.exit(f"the cursor's L is not beside the corner cell (pixels {wrong} differ from the marker colour)")
PY
quit
