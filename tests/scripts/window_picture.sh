# Real window: what koba shows on a 16-bit X screen is, pixel for pixel, the picture it composes
# headless. Palette cycling repeats every 24 frames, so a screenshot must equal one of 24
# consecutive headless frames.
source "$2/tests/scripts/lib/xvfb.sh"
open_session 640x480x16 import
cp "$2/examples/worm.vsf" "$work/worm.vsf"
SDL_VIDEODRIVER=dummy "$build/tests/koba_frames" "$work/worm.vsf" "$build/editor/KOBA.VPK" "$work/frames.raw" 25 48 \
    >/dev/null || fail "koba_frames"
launch "$work/worm.vsf"
screen_shows "$work/frames.raw" <<'PY'
# X widens 5-6-5 to 8 bits by its own rule; the top bits are the pixel.
shown = array.array("H", (r >> 3 << 11 | g >> 2 << 5 | b >> 3 for r, g, b in zip(*[iter(shot)] * 3))).tobytes()
frames = open(sys.argv[2], "rb").read()
candidates = [frames[i * len(shown):(i + 1) * len(shown)] for i in range(24)]
if shown not in candidates:
    best = min(sum(a != b for a, b in zip(shown, frame)) for frame in candidates)
    sys.exit(f"the window differs from every headless frame (at best in {best} bytes)")
PY
