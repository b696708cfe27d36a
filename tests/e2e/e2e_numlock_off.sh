#!/bin/bash
# With NumLock off the keypad sends Home, End, arrows, Begin, Insert...: they
# still count as their digits, every one of them, from the title through a
# stage to the results and back.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 5000 9
private_settings   # settings in this run's own folder (XDG_CONFIG_HOME), never the account's
start_display
xdotool key Num_Lock
xset q | grep -q 'Num Lock: *off' || fail "NumLock is still on"
start_game "$BINARY"
title=$(current_window)

press KP_Left                                   # 4: normal mode
wait_other_than "$title"
play=$(current_window)
# Every digit: eight misses, then the six of the stack (28 points).
every_digit "${NUMLOCK_OFF_KEYS[@]}"
press KP_Insert "${KEYS[@]}" Escape
wait_results_after "$play" KP_Insert            # 0: the results
results=$(current_window)
expected=$(mktemp)
score_bytes 0 28 0 0 0 0 0 0 0 0 0 0 > "$expected"
cmp "$expected" "$E2E_TMP/game/tavo_s.dat" || fail "score file bytes differ"
expect_stage_digits "${STRUCK[@]}"

press KP_Right                                  # 6: the commentary log
wait_other_than "$results"
press KP_Insert                                 # 0: back to the results
wait_for_window "$results"
press KP_Left                                   # 4: stage lost, the title
wait_for_window "$title"
xset q | grep -q 'Num Lock: *off' || fail "NumLock was switched on"
echo "1 passed, 0 failed"
