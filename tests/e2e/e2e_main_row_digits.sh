#!/bin/bash
# The digits above the letters play a stage only with --main-row-digits or
# after OK on the title's question (asked once, at the first main-row digit
# while only the keypad counts); either choice is remembered until
# --keypad-only, which lets the question come again, and the score file is
# written exactly as without it.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 5000 9
start_display
settings="$XDG_CONFIG_HOME/quennel/quennel.ini"

# Main-row 4 is passed over: keypad 1 after it opens the high scores, whose
# keypad 0 leads back to the title (on a play screen it would start a stage).
main_row_ignored() {
    local title
    title=$(current_window)
    press 4 KP_1
    wait_other_than "$title"
    press KP_0
    wait_for_window "$title"
}
# ask_and_answer KEY: main-row 4 on the title brings the question; KEY
# answers it (Return: OK, the default; Escape: キャンセル).
ask_and_answer() {
    press 4
    answer "$1"
    wait_dialogs 0
}

start_game "$BINARY"
ask_and_answer Escape
main_row_ignored
stop_game
grep -qx 'mainRowQuestionAnswered=true' "$settings" || fail "キャンセル was not remembered"
start_game "$BINARY"
main_row_ignored                                # not asked again
stop_game

start_game "$BINARY" --main-row-digits
title=$(current_window)
press 4
wait_other_than "$title"
play=$(current_window)
# Every digit: eight misses, then the six of the stack (28 points).
every_digit "${MAIN_ROW_KEYS[@]}"
press 0 "${KEYS[@]}" Escape
wait_results_after "$play" 0
expected=$(mktemp)
score_bytes 0 28 0 0 0 0 0 0 0 0 0 0 > "$expected"
cmp "$expected" "$E2E_TMP/game/tavo_s.dat" || fail "score file bytes differ"
expect_stage_digits "${STRUCK[@]}"
grep -qx 'mainRowDigits=true' "$settings" || fail "the choice was not remembered"
stop_game

# Remembered: main-row 4 starts a game without the option.
start_game "$BINARY"
title=$(current_window)
press 4
wait_other_than "$title"
stop_game

# --keypad-only: the question comes again, and OK turns the digits on.
start_game "$BINARY" --keypad-only
grep -qx 'mainRowDigits=false' "$settings" || fail "--keypad-only was not remembered"
ask_and_answer Return
grep -qx 'mainRowDigits=true' "$settings" || fail "OK was not remembered"
title=$(current_window)
press 4
wait_other_than "$title"
echo "1 passed, 0 failed"
