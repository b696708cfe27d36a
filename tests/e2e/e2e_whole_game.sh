#!/bin/bash
# A whole five-stage game in a real window, each stage played to time-up
# with every digit, the stack read off the screen (the stages ask for keys
# up to 2, 4, 6, 8 and 9): the final result screen, back to the title, the
# high scores, and the score file's exact bytes (the game total and five
# stage bests).
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 20 2 4 6 8 9
start_display
start_game "$BINARY"
title=$(current_window)

press_switch KP_4
play=$(current_window)
for stage in 1 2 3 4 5; do
    [ "$(current_window)" = "$play" ] || fail "stage $stage: not on the play screen"
    # Eight misses, then the six of the stack in turn: 1+2+3+5+7+10 = 28.
    every_digit "${KEYPAD_KEYS[@]}"
    echo "stage $stage strikes ${STRUCK[*]}"
    press KP_0
    press "${KEYS[@]}"
    wait_results_after "$play"
    expect_stage_digits "${STRUCK[@]}"
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
score_bytes 140 28 28 28 28 28 0 0 0 0 0 0 > "$expected"
cmp "$expected" "$E2E_TMP/game/tavo_s.dat" || {
    od -c "$E2E_TMP/game/tavo_s.dat" | head; fail "score file bytes differ"; }
quit_game
echo "1 passed, 0 failed"
