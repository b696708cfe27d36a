# Helpers of the end-to-end tests on a Wayland desktop: weston on its X11
# back-end inside the test's own Xvfb, with XWayland. Keys are typed into
# weston's window on the Xvfb display, as on X; weston hands them to the
# focused Wayland (or XWayland) window with its own keymap. Needs lib.sh and
# start_display first.
OUTER_DISPLAY=""
WESTON_PID=""
XWAYLAND_DISPLAY=""
WL_SOCKET=quennel-wl-5x
WL_SIZE=800x600

weston_cleanup() {
    [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null || true
    [ -n "$WESTON_PID" ] && kill "$WESTON_PID" 2>/dev/null && wait "$WESTON_PID" 2>/dev/null || true
    e2e_cleanup
}
trap weston_cleanup EXIT

# start_weston: weston in a window filling the Xvfb's top-left corner, no
# panel, a black desktop, no animations, NumLock on (weston sets the server's lock state
# from its own as it starts); the pointer rests on it, so it has the
# keyboard.
start_weston() {
    OUTER_DISPLAY=$DISPLAY
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    printf '%s\n' '[core]' idle-time=0 '[shell]' panel-position=none background-color=0xff000000 \
        locking=false startup-animation=none animation=none close-animation=none focus-animation=none \
        '[keyboard]' numlock-on=true >"$E2E_TMP/weston.ini"
    weston --config="$E2E_TMP/weston.ini" --backend=x11-backend.so --use-pixman --xwayland \
        --socket="$WL_SOCKET" --width="${WL_SIZE%x*}" --height="${WL_SIZE#*x}" \
        --log="$E2E_TMP/weston.log" >/dev/null 2>&1 &
    WESTON_PID=$!
    for _ in $(seq 100); do
        grep -q 'xserver listening on display' "$E2E_TMP/weston.log" 2>/dev/null && break
        sleep 0.1
    done
    XWAYLAND_DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$E2E_TMP/weston.log" | head -1)
    [ -S "$XDG_RUNTIME_DIR/$WL_SOCKET" ] && [ -n "$XWAYLAND_DISPLAY" ] \
        || { cat "$E2E_TMP/weston.log" >&2; fail "weston did not start"; }
    xdotool mousemove 400 300
    wl_settle
}

# start_on_wayland BINARY PLATFORM_ENV... [-- OPTION...]: the program in the
# game folder as a Wayland desktop starts it: XDG_SESSION_TYPE=wayland and
# the socket; the caller adds DISPLAY (XWayland) or leaves it out.
start_on_wayland() {
    private_settings
    local bin
    bin=$(realpath "$1")
    shift
    (cd "$E2E_TMP/game" && exec env -u QT_QPA_PLATFORM -u DISPLAY XDG_SESSION_TYPE=wayland \
        WAYLAND_DISPLAY="$WL_SOCKET" "$@" "$bin" >"$E2E_TMP/game.log" 2>&1) &
    GAME_PID=$!
}

# uses_plugin NAME: the running program loaded Qt's platform plugin NAME.
uses_plugin() {
    grep -q "platforms/libq$1[-.]" "/proc/$GAME_PID/maps"
}

# numlock_is on|off: the X server's, which weston's keyboard follows.
numlock_is() {
    for _ in $(seq 50); do
        DISPLAY=$OUTER_DISPLAY xset q | grep -q "Num Lock: *$1" && return 0
        sleep 0.1
    done
    fail "NumLock is not $1"
}

# wl_key KEY...: typed into weston. Keypad keys go by the names they carry
# with NumLock off (KP_End for 1, KP_Left for 4, KP_Insert for 0): xdotool
# sends those as the bare key, and the lock state makes them KP_1, KP_4,
# KP_0 or leaves them; names such as KP_1 make xdotool toggle NumLock.
wl_key() {
    DISPLAY=$OUTER_DISPLAY xdotool key --delay 40 "$@"
}

# wl_shot FILE: what weston shows.
wl_shot() {
    DISPLAY=$OUTER_DISPLAY import -window root -crop "$WL_SIZE+0+0" "$1"
}

# wl_settle: waits until weston's picture holds still (its desktop drawn).
wl_settle() {
    local a="$E2E_TMP/settle-a.png" b="$E2E_TMP/settle-b.png"
    wl_shot "$a"
    for _ in $(seq 100); do
        sleep 0.1
        wl_shot "$b"
        cmp -s <(convert "$a" rgb:-) <(convert "$b" rgb:-) && return 0
        mv "$b" "$a"
    done
    fail "weston's picture never held still"
}

# wl_wait_change OLD_SHOT: waits until weston shows something other than
# OLD_SHOT and holds still (two shots alike), then leaves it in OLD_SHOT.
wl_wait_change() {
    local old=$1 now="$E2E_TMP/now.png" before="$E2E_TMP/before.png"
    for _ in $(seq 150); do
        wl_shot "$now"
        if ! cmp -s <(convert "$now" rgb:-) <(convert "$old" rgb:-); then
            if [ -f "$before" ] && cmp -s <(convert "$now" rgb:-) <(convert "$before" rgb:-); then
                mv "$now" "$old"
                rm -f "$before"
                return 0
            fi
            cp "$now" "$before"
        fi
        sleep 0.1
    done
    rm -f "$before"
    fail "weston's picture did not change"
}

# wl_wait_scores KEY BYTES...: presses KEY every half second until the
# score file holds exactly these twelve values.
wl_wait_scores() {
    local key=$1
    shift
    score_bytes "$@" >"$E2E_TMP/expected_scores"
    for _ in $(seq 120); do
        cmp -s "$E2E_TMP/expected_scores" "$E2E_TMP/game/tavo_s.dat" && return 0
        wl_key "$key"
        sleep 0.5
    done
    od -c "$E2E_TMP/game/tavo_s.dat" | head -5 >&2
    fail "the score file never held: $*"
}
