#!/usr/bin/env bash
# Real window: type a short key sequence into koba under Xvfb, quit with Esc, check the file.
source "$2/tests/scripts/lib/xvfb.sh"
open_session 640x480x16
launch "$work/typed.vsf"

# Keys held for several frames, as a person presses them, then quick taps as automation sends
# them (down and up within one frame): both must act, each once.
hold shift+Right        # colour 1
hold shift+Right        # colour 2
hold space              # paints the centre cell (8, 8)
hold Right              # cursor to (9, 8)
hold shift+Down         # colour 18
hold space              # paints (9, 8)
hold ctrl+Left          # width 15
hold alt+End            # origin column 14
xdotool key Down shift+Right space Up   # (9, 9) painted 19, cursor back to (9, 8)
xdotool key Escape
expect_clean_exit

read_document "$work/typed.vsf"
[ "${#bytes[@]}" -eq $((5 + 15 * 16)) ] || fail "saved ${#bytes[@]} bytes, expected $((5 + 15 * 16))"
[ "${bytes[*]:0:5}" = "15 16 14 0 0" ] || fail "header '${bytes[*]:0:5}', expected '15 16 14 0 0'"
cells="${bytes[5 + 8 * 15 + 8]} ${bytes[5 + 8 * 15 + 9]} ${bytes[5 + 9 * 15 + 9]}"
[ "$cells" = "2 18 19" ] || fail "cells (8,8) (9,8) (9,9) are '$cells', expected '2 18 19' (the last by quick taps)"
[ "$(painted)" -eq 3 ] || fail "$(painted) painted cells, expected 3"
echo "ok: typed keys reached the saved document"
