#!/usr/bin/env bash
# Real window: start koba under Xvfb, find its window by caption, send Esc, expect exit 0.
set -u
build=$1
source "$2/tests/scripts/lib/xvfb.sh"
open_session 800x600x16

start_koba "$work/smoke.vsf" || { echo "FAIL: no window captioned 'Gravlin sprite editor'"; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null
hold Escape
wait_exit $koba || { echo "FAIL: koba did not end within 10 s of Esc"; exit 1; }
koba=
[ "$exit_status" -eq 0 ] || { echo "FAIL: exit status $exit_status"; cat "$work/out"; exit 1; }
echo "ok: window found, Esc ended koba with status 0"
