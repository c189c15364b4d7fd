# Real window: start koba under Xvfb, find its window by caption, send Esc, expect exit 0.
source "$2/tests/scripts/lib/xvfb.sh"
open_session 800x600x16
launch "$work/smoke.vsf"
quit hold
