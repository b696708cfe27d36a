#!/bin/bash
# 苦手特訓 in a real window: after a normal game over digits 1-9, keypad 8 on
# プレイ記録's テンキー分析 page starts a practice stage; it is played by
# reading the stack off the screen and sweeping the keypad across all nine
# digits; keypad 0 at time-up shows the practice result, keypad 0 there
# returns to プレイ記録's テンキー分析. There keypad 7 then 0 cancels, keypad
# 7 then 5 starts a practice stage of digit 5, and after its result keypad
# 8 on 苦手な指運び one of the slow moves. The score file stays byte for
# byte; the history keeps the three stages as mode practice.
# With QUENNEL_SHOTS=DIR the play screen and the result are kept there, and
# the result once more at zoom 2.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 10 9
# Room for the result at zoom 2 when the screens are kept.
[ -z "${QUENNEL_SHOTS:-}" ] || DISPLAY_SIZE=1280x1024
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

# give_up_practice KEY: KEY starts a practice stage; from its count-down,
# Esc at once; its result, then keypad 0 back to プレイ記録.
give_up_practice() {
    switch_to "$play" "$1"
    press KP_0
    sleep 3
    press Escape
    wait_results_after "$play"
    switch_to "$progress" KP_0
}
# Back on テンキー分析: keypad 7 then 0 stays there; 7 then 5 (which only
# this page knows) starts a practice stage.
press KP_7 KP_0
sleep 0.5
[ "$(current_window)" = "$progress" ] || fail "keypad 7 then 0 left プレイ記録"
press KP_7
give_up_practice KP_5
# Back on テンキー分析 again: two pages on, 苦手な指運び, keypad 8.
press KP_6 KP_6
give_up_practice KP_8

cmp -s "$E2E_TMP/scores-before" "$E2E_TMP/game/tavo_s.dat" || fail "a practice stage changed tavo_s.dat"
modes=$(sqlite3 -batch -cmd '.timeout 5000' "$E2E_TMP/game/history.sqlite" \
    "SELECT group_concat(mode || ' ' || outcome, ',') FROM (SELECT * FROM games ORDER BY id)")
[ "$modes" = "normal lost,practice cleared,practice lost,practice lost" ] || fail "games in the history: $modes"

if [ -n "${QUENNEL_SHOTS:-}" ]; then
    # The result at zoom 2: a practice stage with the keypad swept until time-up.
    stop_game
    SCREEN_SIZE=1188x750
    start_game "$BINARY" --zoom 2
    press_switch KP_2
    progress=$(current_window)
    press KP_6 KP_6 KP_6 KP_6 KP_6
    switch_to "$play" KP_8
    press KP_0
    sleep 3
    for _ in $(seq 12); do
        press KP_1 KP_2 KP_3 KP_4 KP_5 KP_6 KP_7 KP_8 KP_9
    done
    wait_results_after "$play"
    sleep 0.5
    import -window "$(current_window)" "$shots/practice-result-zoom2.png"
fi
echo "1 passed, 0 failed"
