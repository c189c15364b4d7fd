# Real window: keys held for several frames, as a person presses them, then quick taps as automation
# sends them (down and up within one frame) each act once; Esc quits and saves.
source "$2/tests/scripts/lib/xvfb.sh"
open_session 640x480x16
launch "$work/typed.vsf"
# Colour 2 painted on the centre cell (8, 8), colour 18 on (9, 8), width 15, origin column 14.
hold shift+Right shift+Right space Right shift+Down space ctrl+Left alt+End
xdotool key Down shift+Right space Up   # (9, 9) painted 19, cursor back to (9, 8)
quit
read_document "$work/typed.vsf"
got="${#bytes[@]}: ${bytes[*]:0:5}; ${bytes[*]:5 + 8 * 15 + 8:2} ${bytes[5 + 9 * 15 + 9]}; $painted"
[ "$got" = "245: 15 16 14 0 0; 2 18 19; 3" ] || fail "size: header; cells (8,8) (9,8) (9,9); painted: '$got'"
