#!/bin/bash
# Each screen takes the keyboard focus when it is shown: the keys below are
# typed without ever clicking or focusing a window by hand.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2"
private_settings   # settings in this run's own folder (XDG_CONFIG_HOME), never the account's
start_display
start_game "$BINARY"
title=$(current_window)

# A key's screen change shows a moment after the key (the window count
# stays one throughout): wait for it (up to 10 s).
changed_from() {
    for _ in $(seq 100); do
        local now
        now=$(current_window)
        [ -n "$now" ] && [ "$now" != "$1" ] && return 0
        sleep 0.1
    done
    return 0
}

wait_focus
xdotool key KP_1
changed_from "$title"
wait_windows 1
scores=$(current_window)
[ "$scores" != "$title" ] || fail "keypad 1 did not reach the title screen"
wait_focus
xdotool key KP_0
changed_from "$scores"
wait_windows 1
[ "$(current_window)" = "$title" ] || fail "keypad 0 did not reach the high-score screen"
wait_focus
xdotool key KP_4
changed_from "$title"
wait_windows 1
play=$(current_window)
[ "$play" != "$title" ] || fail "keypad 4 did not reach the title screen again"
# The play screen has the keys now: Esc before the start asks to quit, and
# Return (Cancel is the default) keeps the game.
wait_focus
xdotool key Escape
answer Return
wait_dialogs 0
kill -0 "$GAME_PID" 2>/dev/null || fail "Enter after Esc ended the game"
[ "$(current_window)" = "$play" ] || fail "the play screen is gone"
quit_game
echo "1 passed, 0 failed"
