#!/bin/bash
# The game is one window: the title dragged to a corner, keypad 4 opens the
# play screen at that corner, the results come up there too, and a screen
# dragged elsewhere hands its place on.
here=$(dirname "$0")
source "$here/lib.sh"
private_settings   # settings in this run's own folder (XDG_CONFIG_HOME), never the account's
setup_game "$1" "$2" 5000
start_display
start_game "$BINARY"
title=$(current_window)

# corner ID: the window's top-left corner on the screen, as "X,Y".
corner() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print x","y}'
}
move_to() {
    xdotool windowmove "$1" "$2" "$3"
    for _ in $(seq 50); do
        [ "$(corner "$1")" = "$2,$3" ] && return 0
        sleep 0.1
    done
    fail "the window did not move to $2,$3"
}

[ "$(corner "$title")" != "17,23" ] || fail "the title started in the corner"
move_to "$title" 17 23
press KP_4
wait_other_than "$title"
play=$(current_window)
[ "$(corner "$play")" = "17,23" ] || fail "play screen at $(corner "$play"), not 17,23"

press KP_0 KP_1 KP_1 KP_1 Escape
wait_results_after "$play"
results=$(current_window)
[ "$(corner "$results")" = "17,23" ] || fail "results at $(corner "$results"), not 17,23"

move_to "$results" 300 200
press KP_4                                      # stage lost: the title
wait_for_window "$title"
[ "$(corner "$title")" = "300,200" ] || fail "title at $(corner "$title"), not 300,200"
echo "1 passed, 0 failed"
