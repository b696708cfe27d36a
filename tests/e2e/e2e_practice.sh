#!/bin/bash
# 苦手特訓 in a real window: after a normal game over digits 1-9, keypad 8 on
# プレイ記録's テンキー分析 page starts a practice stage; it is played by
# reading the stack off the screen and sweeping the keypad across all nine
# digits; keypad 0 at time-up shows the practice result, keypad 0 there
# returns to プレイ記録. The score file stays byte for byte; the history
# keeps the stage as mode practice.
# With QUENNEL_SHOTS=DIR the play screen and the result are kept there.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 10 9
start_display
start_game "$BINARY"
title=$(current_window)
shots=${QUENNEL_SHOTS:-$E2E_TMP}

# A normal game: 1 to 9 twenty times, given up; back to the title.
sweep_and_give_up 20
cp "$E2E_TMP/game/tavo_s.dat" "$E2E_TMP/scores-before"

# プレイ記録, past the five older pages to テンキー分析, keypad 8.
press_switch KP_2
progress=$(current_window)
press KP_6 KP_6 KP_6 KP_6 KP_6
switch_to "$play" KP_8
press KP_0
sleep 3
for round in $(seq 12); do
    queue=$(target_queue)
    press "KP_${queue%% *}"
    [ "$round" -eq 6 ] && import -window "$play" "$shots/practice-play.png"
    press KP_1 KP_2 KP_3 KP_4 KP_5 KP_6 KP_7 KP_8 KP_9
done
wait_results_after "$play"
result=$(current_window)
[ "$result" != "$progress" ] || fail "keypad 0 after time-up did not show a practice result"
sleep 0.5
import -window "$result" "$shots/practice-result.png"

switch_to "$progress" KP_0
cmp -s "$E2E_TMP/scores-before" "$E2E_TMP/game/tavo_s.dat" || fail "a practice stage changed tavo_s.dat"
modes=$(sqlite3 -batch "$E2E_TMP/game/history.sqlite" \
    "SELECT group_concat(mode || ' ' || outcome, ',') FROM (SELECT * FROM games ORDER BY id)")
[ "$modes" = "normal lost,practice cleared" ] || fail "games in the history: $modes"
echo "1 passed, 0 failed"
