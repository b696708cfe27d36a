#!/bin/bash
# 苦手特訓 in a real window: after a normal game over digits 1-9, keypad 8 on
# プレイ記録's テンキー分析 page starts a practice stage (the play screen,
# without quota and best score); it is played by reading the stack off the
# screen, the keypad struck across all nine digits; keypad 0 at time-up
# shows the practice result, keypad 4 plays another (given up), keypad 0
# returns to プレイ記録. The score file stays byte for byte as it was; the
# history keeps both practice stages as mode practice, and exports them so.
# With QUENNEL_SHOTS=DIR the play screen and the result are kept there as PNG files.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 10 9
start_display
start_game "$BINARY"
title=$(current_window)
db="$E2E_TMP/game/history.sqlite"
shots=${QUENNEL_SHOTS:-$E2E_TMP}
q() { sqlite3 -batch "$db" "$1"; }

# A normal game: 1 to 9 twenty times, then give up and back to the title.
press_switch KP_4
play=$(current_window)
press KP_0
sleep 3   # the count-down
for _ in $(seq 20); do
    press KP_1 KP_2 KP_3 KP_4 KP_5 KP_6 KP_7 KP_8 KP_9
done
press Escape
wait_results_after "$play"
switch_to "$title" KP_4
scores_before=$(mktemp)
cp "$E2E_TMP/game/tavo_s.dat" "$scores_before"

# プレイ記録, past the five older pages to テンキー分析, keypad 8.
press_switch KP_2
progress=$(current_window)
press KP_6 KP_6 KP_6 KP_6 KP_6
sleep 0.5
import -window "$progress" "$E2E_TMP/practice-keypad-page.png"
press_switch KP_8
[ "$(current_window)" = "$play" ] || fail "keypad 8 did not open the play screen"
sleep 0.5
import -window "$play" "$E2E_TMP/practice-ready.png"
# No quota row: the ノルマ digits' cyan (0,255,255) is gone from the right.
quota=$(convert "$E2E_TMP/practice-ready.png" -crop 180x60+420+36 +repage -fuzz 8% -fill black +opaque '#00FFFF' \
    -fill white -opaque '#00FFFF' -format '%[fx:mean*w*h]' info:)
[ "${quota%.*}" -lt 20 ] || fail "the practice stage shows a quota ($quota cyan pixels)"

# Play: the key to strike read off the screen, and the keypad swept across.
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
cmp -s "$scores_before" "$E2E_TMP/game/tavo_s.dat" || fail "the practice stage changed tavo_s.dat"
[ "$(q "SELECT mode, outcome, last_stage, rank IS NULL FROM games ORDER BY id DESC LIMIT 1")" = "practice|cleared|1|1" ] ||
    fail "practice game row: $(q 'SELECT * FROM games ORDER BY id DESC LIMIT 1')"
[ "$(q "SELECT count(DISTINCT k.target) FROM keys k JOIN stages s ON s.id = k.stage_id
    JOIN games g ON g.id = s.game_id WHERE g.mode = 'practice'")" -ge 5 ] || fail "the practice asked for few digits"

# Keypad 4: another practice stage, given up; keypad 0 shows its result.
press_switch KP_4
[ "$(current_window)" = "$play" ] || fail "keypad 4 did not play another practice stage"
press KP_0
sleep 3
press KP_5 KP_5 KP_5 Escape
wait_results_after "$play"
[ "$(current_window)" = "$result" ] || fail "the second practice stage did not end on its result"
press_switch KP_0
[ "$(current_window)" = "$progress" ] || fail "keypad 0 did not return to プレイ記録"
cmp -s "$scores_before" "$E2E_TMP/game/tavo_s.dat" || fail "a practice stage changed tavo_s.dat"
[ "$(q "SELECT group_concat(outcome) FROM games WHERE mode = 'practice'")" = "cleared,lost" ] ||
    fail "practice games: $(q "SELECT group_concat(outcome) FROM games WHERE mode = 'practice'")"

# The export names the mode.
csv=$(env -u DISPLAY "$BINARY" --game-dir "$E2E_TMP/game" --export-history -) || fail "the export failed"
[ "$(echo "$csv" | cut -d, -f3 | grep -c '^practice$')" -eq 2 ] || fail "the export has no two practice rows"
echo "1 passed, 0 failed"
