#!/bin/bash
# A whole five-stage game in a real window, each stage played to time-up
# (stage 5 asks for any digit, struck as the screen shows the stack):
# the final result screen, back to the title, the high scores, and the score
# file's exact bytes (five stage bests and the game total).
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" "100 100 100 100 20"
start_display
start_game "$BINARY"
title=$(current_window)

press_switch KP_4
play=$(current_window)
for stage in 1 2 3 4 5; do
    [ "$(current_window)" = "$play" ] || fail "stage $stage: not on the play screen"
    if [ "$stage" -le 4 ]; then
        # Fifteen hits of 1: 115 for the first ten, then 30 each = 265.
        press KP_0
        press KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1 KP_1
    else
        # Stage 5 asks for any digit: the six in the stack, read off the
        # screen before the start, are struck in turn: 1+2+3+5+7+10 = 28.
        queue=$(target_queue)
        keys=()
        for d in $queue; do keys+=("KP_$d"); done
        echo "stage 5 strikes ${keys[*]}"
        press KP_0
        press "${keys[@]}"
    fi
    wait_results_after "$play"
    results=$(current_window)
    press_switch KP_4
done
final=$(current_window)
[ "$final" != "$play" ] && [ "$final" != "$results" ] && [ "$final" != "$title" ] \
    || fail "the final result screen did not come"

press_switch KP_0
[ "$(current_window)" = "$title" ] || fail "keypad 0 did not return to the title"
press_switch KP_1
scores=$(current_window)
[ "$scores" != "$title" ] || fail "keypad 1 did not open the high scores"

expected=$(mktemp)
score_bytes 1088 265 265 265 265 28 0 0 0 0 0 0 > "$expected"
cmp "$expected" "$E2E_TMP/game/tavo_s.dat" || {
    od -c "$E2E_TMP/game/tavo_s.dat" | head; fail "score file bytes differ"; }
quit_game
echo "1 passed, 0 failed"
