#!/bin/bash
# Under a window manager (openbox, with a title bar), a screen dragged by
# its title bar hands exactly its place on, frame for frame: over a whole
# game (play, results, log, the final result, high scores, title and a
# second drag on the way) no screen moves by a single pixel. The title
# bar carries the program's icon.
here=$(dirname "$0")
source "$here/lib.sh"
private_settings   # settings in this run's own folder (XDG_CONFIG_HOME), never the account's
setup_game "$1" "$2" 20 9   # every stage asks for any digit
start_display
openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
WM_PID=$!
trap 'kill "$WM_PID" 2>/dev/null || true; e2e_cleanup' EXIT
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "openbox did not start"
start_game "$BINARY"

# corner ID: a window's top-left corner on the screen, "X,Y".
corner() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print x","y}'
}
# frame ID: the window manager's frame around a client window, the
# client's ancestor just below the root.
frame() {
    local root w=$1 parent
    root=$(xwininfo -root | awk '/Window id:/{print $4}')
    while :; do
        parent=$(xwininfo -tree -id "$w" | awk '/Parent window id:/{print $4}')
        [ "$parent" = "$root" ] && break
        w=$parent
    done
    echo "$w"
}
# place ID: the frame's and the client area's top-left corners, "X,Y X,Y".
place() {
    echo "$(corner "$(frame "$1")") $(corner "$1")"
}
# drag DX DY: drags the visible screen by its title bar, as a player does.
drag() {
    local w before x y
    w=$(current_window)
    before=$(place "$w")
    x=$(echo "$before" | cut -d' ' -f2 | cut -d, -f1)
    y=$(echo "$before" | cut -d' ' -f1 | cut -d, -f2)
    # The title bar: between the frame's top and the client area. The
    # window manager takes the press, then the moves, then the release.
    xdotool mousemove $((x + 200)) $((y + 5))
    xdotool mousedown 1
    for step in 1 2 3 4; do
        xdotool mousemove $((x + 200 + $1 * step / 4)) $((y + 5 + $2 * step / 4))
        sleep 0.05
    done
    xdotool mouseup 1
    # Settled: moved, and the same on two looks in a row.
    expected=$before
    for _ in $(seq 50); do
        sleep 0.1
        local now
        now=$(place "$w")
        [ "$now" = "$expected" ] && [ "$now" != "$before" ] && break
        expected=$now
    done
    [ "$expected" != "$before" ] || fail "the drag did not move the screen"
    xdotool mousemove 0 0
}
changes=0
# check: the screen now visible stands exactly where the last one stood.
check() {
    local now
    now=$(place "$(current_window)")
    [ "$now" = "$expected" ] || fail "screen change $changes ($1): at $now, not $expected"
    changes=$((changes + 1))
}
step() {
    press_switch "$1"
    check "$2"
}

title=$(current_window)
# The program's icon, of which openbox shows the 16 px size (it may come a
# moment after the window).
for _ in $(seq 50); do
    xprop -id "$title" _NET_WM_ICON 2>/dev/null | grep -q 'Icon (16 x 16)' && break
    sleep 0.1
done
xprop -id "$title" _NET_WM_ICON | grep -q 'Icon (16 x 16)' || fail "the title has no 16 px window icon"
drag 137 -91
step KP_1 "high scores"
step KP_0 title
drag -60 45
step KP_4 play
play=$(current_window)
for stage in 1 2 3 4 5; do
    # Every digit: 28 points, over the quota of 200.
    every_digit "${KEYPAD_KEYS[@]}"
    press KP_0
    press "${KEYS[@]}"
    wait_results_after "$play"
    check "results $stage"
    if [ "$stage" -le 2 ]; then
        step KP_6 "log $stage"
        step KP_0 "results $stage"
    fi
    step KP_4 "after results $stage"
done
step KP_0 title                                 # from the final result
[ "$(current_window)" = "$title" ] || fail "the final result did not lead to the title"
[ "$changes" -ge 10 ] || fail "only $changes screen changes"
quit_game
echo "1 passed, 0 failed ($changes screen changes, 0 px drift)"
