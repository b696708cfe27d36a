#!/bin/bash
# On a Wayland desktop with XWayland, started as a player starts it (no
# platform chosen), the game runs on X11 and its screens keep one place:
# title, high scores, title, play, results, log, results, title. Keys go
# through weston, as the player's do.
here=$(dirname "$0")
source "$here/lib.sh"
source "$here/weston.sh"
[ "$XDG_CONFIG_HOME" = "$E2E_TMP/config" ] || fail "settings folder is not private to this run"
BINARY=$1
copy_game "$2"
write_test_data 5000
start_display
start_weston
start_on_wayland "$BINARY" DISPLAY="$XWAYLAND_DISPLAY"
# From here on the X tools look at XWayland's display.
export DISPLAY=$XWAYLAND_DISPLAY
wait_windows 1
uses_plugin xcb || fail "the game did not choose Qt's X11 platform"
! uses_plugin wayland || fail "the game loaded Qt's Wayland platform too"
title=$(current_window)

corner() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print x","y}'
}
place=$(corner "$title")
# key_to_other KEY: types KEY through weston and waits for another screen,
# which must stand where the title stood.
key_to_other() {
    local old
    old=$(current_window)
    wl_key "$1"
    wait_other_than "$old"
    [ "$(corner "$(current_window)")" = "$place" ] \
        || fail "after $1 the screen stands at $(corner "$(current_window)"), not $place"
}

key_to_other KP_1                               # high scores
key_to_other KP_0                               # title
key_to_other KP_4                               # play
play=$(current_window)
wl_key KP_0 KP_1 KP_1 KP_1 Escape
for _ in $(seq 120); do
    [ "$(current_window)" != "$play" ] && break
    wl_key KP_0
    sleep 0.5
done
[ "$(current_window)" != "$play" ] || fail "the results screen never came"
[ "$(corner "$(current_window)")" = "$place" ] || fail "results at $(corner "$(current_window)"), not $place"
key_to_other KP_6                               # log
key_to_other KP_0                               # results
key_to_other KP_4                               # stage lost: the title
[ "$(current_window)" = "$title" ] || fail "not back on the title"
echo "1 passed, 0 failed"
