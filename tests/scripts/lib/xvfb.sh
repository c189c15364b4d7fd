# Sourced by the scripts that run koba in a real window under Xvfb.
#   open_session SCREEN     for the tests: skips (77) without Xvfb or xdotool, makes $work, starts
#                           Xvfb, and on exit ends $koba (when set) and Xvfb and removes $work
#   start_xvfb SCREEN LOG   starts Xvfb on a free display (SCREEN e.g. 640x480x16), exports DISPLAY
#                           and xvfb_pid; returns 1 when Xvfb did not start
#   find_window CAPTION     prints the id of the first visible window with that caption, waiting
#                           up to 20 s (a sanitizer build on a busy machine starts slowly)
#   start_koba ARGS...      starts $build/editor/koba (output in $work/out) and waits for its
#                           window; sets koba and window. A start that shows no window is
#                           described and tried once more; returns 1 when the second fails too
#   wait_exit PID           waits up to 10 s for the process to end; sets exit_status
#   hold KEYS...            holds each key combination for a few frames, as a person presses it
#   launch ARGS...          start_koba, failing the test without a window, and focuses the window
#   expect_clean_exit       koba must end within 10 s, with status 0
#   fail MESSAGE            prints "FAIL: MESSAGE" and ends the test

start_xvfb() {
    local screen=$1 log=$2 fifo number try
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    # A display number of its own, at random: Xvfb's first free number can be one whose server
    # (of a test just ended) is still letting go of its sockets, and clients then reach nothing.
    for try in 1 2 3 4 5 6 7 8; do
        number=$((100 + RANDOM % 900))
        [ -e "/tmp/.X$number-lock" ] && { number=; continue; }
        # Xvfb writes the number once it listens; it ends at once when the number is taken.
        Xvfb ":$number" -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$fifo" >"$log" 2>&1 &
        xvfb_pid=$!
        read -r -t 10 number <"$fifo" && [ -n "$number" ] && kill -0 "$xvfb_pid" 2>/dev/null && break
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid= number=
    done
    rm -f "$fifo"
    [ -n "$number" ] || return 1
    export DISPLAY=:$number
    unset SDL_VIDEODRIVER
    # In a sanitizer build, koba under X loads the X and driver libraries, which keep allocations
    # until exit and may be unloaded first, so their frames cannot even be named for a suppression.
    # Memory errors are still caught here; leaks of our own code are checked by the headless suite.
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
}

find_window() {
    local window
    for _ in $(seq 200); do
        window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        if [ -n "$window" ]; then
            echo "$window"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

start_koba() {
    local attempt
    for attempt in 1 2; do
        "$build/editor/koba" "$@" >"$work/out" 2>&1 &
        koba=$!
        window=$(find_window "Gravlin sprite editor") && return 0
        if kill -0 "$koba" 2>/dev/null; then
            echo "no window on start $attempt; koba runs, windows named like it: $(xdotool search --name Gravlin 2>&1 | tr '\n' ' ')"
            kill "$koba" 2>/dev/null
            wait "$koba" 2>/dev/null
        else
            wait "$koba"
            echo "no window on start $attempt; koba ended with status $?"
        fi
        koba=
        sed 's/^/  koba: /' "$work/out"
    done
    return 1
}

wait_exit() {
    for _ in $(seq 100); do
        if ! kill -0 "$1" 2>/dev/null; then
            wait "$1"
            exit_status=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}

hold() {
    xdotool keydown "$@"
    sleep 0.12
    xdotool keyup "$@"
    sleep 0.08
}

open_session() {
    if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
        echo "SKIP: Xvfb or xdotool is not installed"
        exit 77
    fi
    work=$(mktemp -d)
    xvfb_pid=
    koba=
    trap 'end_session' EXIT
    start_xvfb "$1" "$work/xvfb.log" || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
}

end_session() {
    [ -n "$koba" ] && kill "$koba" 2>/dev/null
    # Wait for the server, so that its display is wholly free when the next test starts.
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}

fail() { echo "FAIL: $*"; exit 1; }

launch() {
    start_koba "$@" || fail "no window captioned 'Gravlin sprite editor'"
    xdotool windowfocus --sync "$window" 2>/dev/null
}

expect_clean_exit() {
    wait_exit "$koba" || fail "koba did not end within 10 s of Esc"
    koba=
    [ "$exit_status" -eq 0 ] || { cat "$work/out"; fail "exit status $exit_status"; }
}
