#!/bin/bash
# On Wayland alone (no XWayland to fall back on) the game runs on Qt's
# Wayland platform, where keypad keys come without Qt's keypad flag: the
# title answers keypad 4, and a stage is played with keypad digits with
# NumLock on and with it off. The score file shows each stage's hits.
here=$(dirname "$0")
source "$here/lib.sh"
source "$here/weston.sh"
setup_game "$1" "$2" 5000
start_display                                   # NumLock on
start_weston
screen="$E2E_TMP/screen.png"
wl_shot "$screen"
start_on_wayland "$BINARY"
wl_wait_change "$screen"                        # the title is up
numlock_is on
uses_plugin wayland || fail "the game did not run on Qt's Wayland platform"

# NumLock on: the keys arrive as KP_4, KP_0, KP_1.
wl_key KP_Left
wl_wait_change "$screen"                        # the play screen
# Ten hits of 1: 115.
wl_key KP_Insert KP_End KP_End KP_End KP_End KP_End KP_End KP_End KP_End KP_End KP_End Escape
wl_wait_scores KP_Insert 0 115 0 0 0 0 0 0 0 0 0 0
wl_key KP_Left                                  # stage lost: the title
wl_wait_change "$screen"

numlock_is on
wl_key Num_Lock
numlock_is off
# NumLock off: the same keys arrive as KP_Left, KP_Insert, KP_End.
wl_key KP_Left
wl_wait_change "$screen"
# Fifteen hits of 1 (End), started with 0 (Insert): 115 + 5 x 30 = 265.
wl_key KP_Insert KP_End KP_End KP_End KP_End KP_End KP_End KP_End KP_End KP_End KP_End \
    KP_End KP_End KP_End KP_End KP_End Escape
wl_wait_scores KP_Insert 0 265 0 0 0 0 0 0 0 0 0 0
numlock_is off
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended"
echo "1 passed, 0 failed"
