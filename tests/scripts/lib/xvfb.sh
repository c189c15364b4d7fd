# Sourced, with the build and source folders as arguments, by the scripts that run koba in a real window
# under Xvfb. hold: each key held for a few frames, as a person presses it; screen_shows ARGS: the Python
# check on standard input, given the screenshot's RGB bytes as shot and ARGS from sys.argv[2].
set -u
build=$1
fail() { echo "FAIL: $*"; exit 1; }

open_session() {
    for need in Xvfb xdotool ${2:-}; do
        command -v "$need" >/dev/null || { echo "SKIP: $need is not installed"; exit 77; }
    done
    work=$(mktemp -d) xvfb_pid= koba= number=
    trap 'kill $koba $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
    mkfifo "$work/fd"
    # A random display: Xvfb's first free one may still be letting go of a just-ended test's sockets.
    for _ in 1 2 3 4 5 6 7 8; do
        number=$((100 + RANDOM % 900))
        [ -e "/tmp/.X$number-lock" ] && { number=; continue; }
        Xvfb ":$number" -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$work/fd" >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        read -r -t 10 number <"$work/fd" && [ -n "$number" ] && kill -0 "$xvfb_pid" 2>/dev/null && break
        kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
        xvfb_pid= number=
    done
    [ -n "$number" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
    unset SDL_VIDEODRIVER
    # X libraries keep allocations no suppression can name; the headless suite checks our leaks.
    export DISPLAY=:$number ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
}

# A sanitizer build on a busy machine may show no window within 20 s: tried once more.
launch() {
    for attempt in 1 2; do
        "$build/editor/koba" "$@" >"$work/out" 2>&1 &
        koba=$!
        window=$(timeout 20 xdotool search --sync --onlyvisible --name "Gravlin sprite editor" 2>/dev/null | head -n 1)
        [ -n "$window" ] && { sleep 0.3; xdotool windowfocus --sync "$window" 2>/dev/null; return 0; }
        kill "$koba" 2>/dev/null
        wait "$koba"
        echo "no window on start $attempt (status $?); windows: $(xdotool search --name Gravlin 2>&1 | tr '\n' ' ')"
        koba=
        sed 's/^/  koba: /' "$work/out"
    done
    fail "no window captioned 'Gravlin sprite editor'"
}

hold() { local k; for k; do xdotool keydown "$k"; sleep 0.12; xdotool keyup "$k"; sleep 0.08; done; }

# Esc, tapped (or held with "quit hold"), must end koba with status 0.
quit() {
    ${1:-xdotool key} Escape
    timeout 10 tail --pid="$koba" -f /dev/null || fail "koba did not end within 10 s of Esc"
    wait "$koba" || { local status=$?; cat "$work/out"; fail "exit status $status"; }
    koba=
}

# The root window is the editor's picture; the first frames may be late on a busy machine.
screen_shows() {
    local message program="import array, sys; shot = open(sys.argv[1], 'rb').read()"$'\n'"$(cat)"
    for _ in 1 2 3 4 5; do
        sleep 1
        import -window root -depth 8 "rgb:$work/shot.rgb" || fail "no screenshot"
        message=$(python3 -c "$program" "$work/shot.rgb" "$@" 2>&1) && return 0
    done
    fail "$message"
}

read_document() {
    [ -f "$1" ] || fail "$1 was not saved"
    read -r -a bytes <<<"$(od -An -tu1 -v "$1" | tr -s ' \n' ' ')"
    painted=$(printf '%s\n' "${bytes[@]:5}" | grep -cv '^0$')
}
