#!/bin/bash
# On Wayland alone (no XWayland to fall back on) the game runs on Qt's
# Wayland platform, where keypad keys come without Qt's keypad flag: the
# title answers keypad 4, and a stage is played with every keypad digit
# with NumLock on and with it off. The history keeps each key as its digit,
# and the score file the better stage's score.
here=$(dirname "$0")
source "$here/lib.sh"
source "$here/weston.sh"
setup_game "$1" "$2" 5000 9
start_display                                   # NumLock on
start_weston
screen="$E2E_TMP/screen.png"
wl_shot "$screen"
start_on_wayland "$BINARY"
wl_wait_change "$screen"                        # the title is up
numlock_is on
uses_plugin wayland || fail "the game did not run on Qt's Wayland platform"

# sweep_stage: from the title (keypad 4), a stage started with 0 and struck
# 1 to 9 (the stack is not read here: some keys hit, some miss), given up;
# the history must hold the nine digits, and keypad 0 (pressed until the
# score file holds the best stage 1 score the history has) the results.
sweep_stage() {
    wl_key KP_Left
    wl_wait_change "$screen"                    # the play screen
    wl_key "${NUMLOCK_OFF_KEYS[@]}" Escape
    expect_stage_digits 1 2 3 4 5 6 7 8 9
    local best
    best=$(sqlite3 -batch -cmd '.timeout 5000' "$E2E_TMP/game/history.sqlite" "SELECT max(score) / 10 FROM stages WHERE stage = 1")
    [ "$best" -gt 0 ] || fail "a sweep of every digit hit nothing"
    wl_wait_scores KP_Insert 0 "$best" 0 0 0 0 0 0 0 0 0 0
}

# NumLock on: the keys arrive as KP_4, KP_0, KP_1 ... KP_9.
sweep_stage
wl_key KP_Left                                  # stage lost: the title
wl_wait_change "$screen"

numlock_is on
wl_key Num_Lock
numlock_is off
# NumLock off: the same keys arrive as KP_Left, KP_Insert, KP_End ... KP_Prior.
sweep_stage
numlock_is off
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended"
echo "1 passed, 0 failed"
