# Real window: what koba shows on a 16-bit X screen is, pixel for pixel, the picture it composes
# headless. Palette cycling repeats every 24 frames, so a screenshot must equal one of 24
# consecutive headless frames.
source "$2/tests/scripts/lib/xvfb.sh"
open_session 640x480x16 import
cp "$2/examples/worm.vsf" "$work/worm.vsf"
SDL_VIDEODRIVER=dummy "$build/tests/koba_frames" "$work/worm.vsf" "$build/editor/KOBA.VPK" "$work/frames.rgb" 25 48 \
    >/dev/null || fail "koba_frames"
launch "$work/worm.vsf"
screen_shows "$work/frames.rgb" <<'PY'
import sys
size = 640 * 480 * 3
# X widens 5-6-5 to 8 bits by its own rule; the top bits are the pixel.
reduced = bytes(v & (0xFC if i % 3 == 1 else 0xF8) for i, v in enumerate(open(sys.argv[1], "rb").read()))
frames = open(sys.argv[2], "rb").read()
candidates = [frames[i * size:(i + 1) * size] for i in range(24)]
if reduced not in candidates:
    best = min(sum(a != b for a, b in zip(reduced, frame)) for frame in candidates)
    sys.exit(f"the window differs from every headless frame (at best in {best} channel values)")
PY
