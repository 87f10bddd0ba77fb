# Displays for Wine: the user's own, or a private Xvfb. Source after common.sh.

# The process id a display number's lock file names (empty without one).
display_lock_owner() {
    if [ -e "/tmp/.X$1-lock" ]; then
        tr -d ' \n' <"/tmp/.X$1-lock" 2>/dev/null || true
    fi
}

# A number is taken while its lock names a running server. A server that was
# killed outright leaves its lock and socket behind; Xvfb replaces both, so
# such a number is free (else the numbers run out after a few dozen runs).
display_taken() {
    local owner
    owner=$(display_lock_owner "$1")
    [ -n "$owner" ] && [ -d "/proc/$owner" ]
}

# Starts Xvfb on a free display number and exports DISPLAY; XVFB_PID is its id.
start_private_xvfb() {
    local size=${1:-1280x900} n attempt
    # Several suites may start at once: a server that lost the race for a
    # number has exited by the time its lock would show, so try the next one.
    for attempt in 1 2 3 4 5; do
        for n in $(seq $((88 + attempt * 2)) 130); do
            display_taken "$n" || break
        done
        Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        local tries=0
        until { [ "$(display_lock_owner "$n")" = "$XVFB_PID" ] && [ -e "/tmp/.X11-unix/X$n" ]; } ||
            ! kill -0 "$XVFB_PID" 2>/dev/null; do
            sleep 0.1
            tries=$((tries + 1))
            [ $tries -gt 100 ] && break
        done
        sleep 0.3
        if kill -0 "$XVFB_PID" 2>/dev/null && [ "$(display_lock_owner "$n")" = "$XVFB_PID" ]; then
            export DISPLAY=":$n"
            return 0
        fi
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    done
    echo "Xvfb did not start" >&2
    return 1
}

stop_private_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
}

# True when $DISPLAY names a display that answers (a local socket, or any
# remote display, which is trusted).
display_usable() {
    local display=${DISPLAY:-}
    [ -n "$display" ] || return 1
    case "$display" in
    :*)
        local number=${display#:}
        number=${number%%.*}
        [ -S "/tmp/.X11-unix/X$number" ]
        ;;
    *) return 0 ;;
    esac
}
