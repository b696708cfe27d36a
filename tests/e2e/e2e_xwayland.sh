#!/bin/bash
# On a Wayland desktop with XWayland, started as a player starts it (no
# platform chosen), the game runs on Qt's X11 platform through XWayland,
# and keypad keys typed through weston, as a player's are (NumLock on),
# lead through every screen: title, high scores, title, play (every digit
# counts as itself), results, log, results, title. (Weston's own X window manager places every newly
# mapped X window itself, whatever position it asks for; that one place
# holds under a window manager that honours it is e2e_window_manager.)
here=$(dirname "$0")
source "$here/lib.sh"
source "$here/weston.sh"
setup_game "$1" "$2" 5000 9
start_display
start_weston
start_on_wayland "$BINARY" DISPLAY="$XWAYLAND_DISPLAY"
# From here on the X tools look at XWayland's display.
export DISPLAY=$XWAYLAND_DISPLAY
wait_windows 1
uses_plugin xcb || fail "the game did not choose Qt's X11 platform"
! uses_plugin wayland || fail "the game loaded Qt's Wayland platform too"
title=$(current_window)

# key_to_other KEY: types KEY through weston and waits for another screen.
key_to_other() {
    local old
    old=$(current_window)
    wl_key "$1"
    wait_other_than "$old"
}

key_to_other KP_End                             # 1: high scores
key_to_other KP_Insert                          # 0: title
[ "$(current_window)" = "$title" ] || fail "keypad 0 did not return to the title"
key_to_other KP_Left                            # 4: play
play=$(current_window)
# Every digit: eight misses, then the six of the stack (28 points).
every_digit "${NUMLOCK_OFF_KEYS[@]}"
wl_key KP_Insert "${KEYS[@]}" Escape
for _ in $(seq 120); do
    [ "$(current_window)" != "$play" ] && break
    wl_key KP_Insert
    sleep 0.5
done
[ "$(current_window)" != "$play" ] || fail "the results screen never came"
key_to_other KP_Right                           # 6: log
key_to_other KP_Insert                          # 0: results
key_to_other KP_Left                            # 4: stage lost, the title
[ "$(current_window)" = "$title" ] || fail "not back on the title"
score_bytes 0 28 0 0 0 0 0 0 0 0 0 0 >"$E2E_TMP/expected_scores"
cmp "$E2E_TMP/expected_scores" "$E2E_TMP/game/tavo_s.dat" || fail "score file bytes differ"
expect_stage_digits "${STRUCK[@]}"
echo "1 passed, 0 failed"
