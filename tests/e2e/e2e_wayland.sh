#!/bin/bash
# On Wayland alone (no XWayland to fall back on) the game runs on Qt's
# Wayland platform, where keypad keys come without Qt's keypad flag: the
# title answers keypad 4, and a stage is played with keypad digits with
# NumLock on and with it off. The score file shows each stage's hits.
here=$(dirname "$0")
source "$here/lib.sh"
source "$here/weston.sh"
[ "$XDG_CONFIG_HOME" = "$E2E_TMP/config" ] || fail "settings folder is not private to this run"
BINARY=$1
copy_game "$2"
write_test_data 5000
start_display                                   # NumLock on
start_weston
screen="$E2E_TMP/screen.png"
wl_shot "$screen"
start_on_wayland "$BINARY"
wl_wait_change "$screen"                        # the title is up
uses_plugin wayland || fail "the game did not run on Qt's Wayland platform"

wl_key KP_4
wl_wait_change "$screen"                        # the play screen
# Ten hits of 1: 115.
wl_key KP_0 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 Escape
wl_wait_scores KP_0 0 115 0 0 0 0 0 0 0 0 0 0
wl_key KP_4                                     # stage lost: the title
wl_wait_change "$screen"

wl_key Num_Lock
DISPLAY=$OUTER_DISPLAY xset q | grep -q 'Num Lock: *off' || fail "NumLock is still on"
wl_key KP_Left                                  # 4
wl_wait_change "$screen"
# Fifteen hits of 1 (End), started with 0 (Insert): 115 + 5 x 30 = 265.
wl_key KP_Insert KP_End KP_End KP_End KP_End KP_End KP_End KP_End KP_End KP_End KP_End \
    KP_End KP_End KP_End KP_End KP_End Escape
wl_wait_scores KP_Insert 0 265 0 0 0 0 0 0 0 0 0 0
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended"
echo "1 passed, 0 failed"
