# Real window: bursts of quick taps sent as real X events each act once, in order, while the
# frames go on: 20 taps of one key 3 ms apart, and two keys taking turns 1 ms apart.
source "$2/tests/scripts/lib/xvfb.sh"
open_session 640x480x16
launch "$work/taps.vsf"
hold shift+Right                                              # colour 1
xdotool key --delay 1 $(printf 'space Right %.0s' $(seq 10))  # paints (8..15, 8) and (0..1, 8)
xdotool keydown ctrl
xdotool key --delay 3 $(printf 'Right %.0s' $(seq 20))        # width 16 + 20
xdotool keyup ctrl
sleep 1.5  # some 80 events, a few frames each
quit
read_document "$work/taps.vsf"
got="${bytes[*]:0:5}; ${bytes[*]:5 + 8 * 36:16}; $painted"
[ "$got" = "36 16 0 0 0; 1 1 0 0 0 0 0 0 1 1 1 1 1 1 1 1; 10" ] || fail "header; row 8; painted: '$got'"
