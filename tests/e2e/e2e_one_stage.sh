#!/bin/bash
# One stage played in a real window: keypad hits and misses count, every
# digit, main-keyboard digits do not, Esc gives up, keypad 0 shows the
# results, and the new stage best is in the score file with its exact bytes.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 5000 9
start_display
start_game "$BINARY"
title=$(current_window)

press_switch KP_4
play=$(current_window)
[ "$play" != "$title" ] || fail "keypad 4 did not leave the title"

# The main keyboard's digits, then every keypad digit: eight misses and the
# six of the stack (1+2+3+5+7+10 = 28). The keys typed during the
# count-down are judged once it ends.
every_digit "${KEYPAD_KEYS[@]}"
press KP_0
press 1 2 3 4 5 6 7 8 9
press "${KEYS[@]}"
press Escape
wait_results_after "$play"
results=$(current_window)
wait_windows 1

expected=$(mktemp)
score_bytes 0 28 0 0 0 0 0 0 0 0 0 0 > "$expected"
cmp "$expected" "$E2E_TMP/game/tavo_s.dat" || {
    od -c "$E2E_TMP/game/tavo_s.dat" | head; fail "score file bytes differ"; }
expect_stage_digits "${STRUCK[@]}"

# Esc on the results screen asks; Enter answers Cancel, the game stays.
press Escape
answer Return
wait_dialogs 0
kill -0 "$GAME_PID" 2>/dev/null || fail "Enter after Esc ended the game"
wait_windows 1
[ "$(current_window)" = "$results" ] || fail "the results screen is gone"
quit_game
echo "1 passed, 0 failed"
