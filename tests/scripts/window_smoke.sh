#!/usr/bin/env bash
# Real window: start koba under Xvfb, find its window by caption, send Esc, expect exit 0.
set -u
build=$1
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIP: Xvfb or xdotool is not installed"
    exit 77
fi
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
display=:$((90 + RANDOM % 500))
Xvfb $display -screen 0 800x600x16 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do
    [ -e /tmp/.X11-unix/X${display#:} ] && break
    sleep 0.1
done
if ! kill -0 $xvfb 2>/dev/null; then
    echo "SKIP: Xvfb did not start"; cat "$work/xvfb.log"
    exit 77
fi
export DISPLAY=$display
unset SDL_VIDEODRIVER
"$build/editor/koba" "$work/smoke.vsf" >"$work/out" 2>&1 &
koba=$!
window=
for _ in $(seq 100); do
    window=$(xdotool search --name "Gravlin sprite editor" 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "FAIL: no window captioned 'Gravlin sprite editor'"; cat "$work/out"; kill $koba; exit 1
fi
sleep 0.3
xdotool windowfocus --sync "$window" 2>/dev/null
# Held for a few frames, as a person presses it: the editor looks at Esc once per frame.
xdotool keydown Escape
sleep 0.2
xdotool keyup Escape
status=
for _ in $(seq 50); do
    if ! kill -0 $koba 2>/dev/null; then wait $koba; status=$?; break; fi
    sleep 0.1
done
if [ -z "$status" ]; then
    echo "FAIL: koba did not end within 5 s of Esc"; kill $koba; exit 1
fi
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; cat "$work/out"; exit 1; }
echo "ok: window found, Esc ended koba with status 0"
