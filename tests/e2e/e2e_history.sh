#!/bin/bash
# The play history in a real window: a stage played with keypad keys leaves
# its game, its stage (score, verdict) and one row per key in history.sqlite,
# the score file stays exactly as without a history, and after three games
# keypad 2 on the title shows the progress screen, page by page; the history
# exports as CSV from the command line, without a display. A stage played
# while another program holds the file is told about, kept, and written when
# the game is quit, leaving the one file.
# With QUENNEL_SHOTS=DIR the progress pages are kept there as PNG files.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 10 9 1 1 1 9   # stage 1 asks for any digit
private_settings   # settings in this run's own folder (XDG_CONFIG_HOME), never the account's
start_display
start_game "$BINARY"
title=$(current_window)
db="$E2E_TMP/game/history.sqlite"

q() { sqlite3 -batch -cmd '.timeout 5000' "$db" "$1"; }
expect() {  # expect WHAT ACTUAL EXPECTED
    [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}

# back_to_title: keypad 4 on the results of a lost game leads to the title.
back_to_title() { switch_to "$title" KP_4; }

# Game 1, normal: every digit, eight misses and then the six of the stack
# (1+2+3+5+7+10 = 28), give up.
press_switch KP_4
play=$(current_window)
every_digit "${KEYPAD_KEYS[@]}"
press KP_0
sleep 3   # the count-down
press "${KEYS[@]}"
press Escape
wait_results_after "$play"
[ -f "$db" ] || fail "no history.sqlite after the stage"
expect "game" "$(q 'SELECT mode, outcome, last_stage, total FROM games')" "normal|lost|1|280"
expect "stage" "$(q 'SELECT s.stage, s.score, s.verdict, sum(k.hit), sum(1 - k.hit) FROM stages s
    JOIN keys k ON k.stage_id = s.id GROUP BY s.id')" "1|280|giveup|6|8"
expect "key rows" "$(q 'SELECT count(*) FROM keys')" "14"
# Each key as digit, target and hit: the misses wait on the first target.
rows=()
for d in "${STRUCK[@]:0:8}"; do rows+=("${d}${STRUCK[8]}0"); done
for d in "${STRUCK[@]:8}"; do rows+=("${d}${d}1"); done
expect "keys in order" "$(q "SELECT group_concat(digit || target || hit, ' ') FROM (SELECT * FROM keys ORDER BY rowid)")" \
    "${rows[*]}"
expect "key times never go back" \
    "$(q 'SELECT count(*) FROM keys a JOIN keys b ON b.rowid = a.rowid + 1 WHERE b.ms < a.ms')" "0"
expected=$(mktemp)
score_bytes 0 28 0 0 0 0 0 0 0 0 0 0 > "$expected"
cmp "$expected" "$E2E_TMP/game/tavo_s.dat" || fail "score file bytes differ"
back_to_title

# Game 2, hard (the stack mostly hidden): the keypad swept 1 to 9 three
# times, give up.
press_switch KP_6
play=$(current_window)
press KP_0
sleep 3
for _ in 1 2 3; do press KP_1 KP_2 KP_3 KP_4 KP_5 KP_6 KP_7 KP_8 KP_9; done
press Escape
wait_results_after "$play"
back_to_title

# Game 3, normal: stage 1 played to time-up (cleared) off the stack read
# from the screen, two or three hits at a time and now and then a miss;
# stage 2 given up.
press_switch KP_4
play=$(current_window)
press KP_0
sleep 3   # the count-down
for i in $(seq 27); do
    line=$(target_queue)
    read -ra stack <<<"$line"
    keys=("KP_${stack[0]}" "KP_${stack[1]}")
    [ $((i % 3)) -eq 0 ] && keys+=("KP_${stack[2]}")
    next=${stack[${#keys[@]}]}
    [ $((i % 9)) -eq 4 ] && keys+=("KP_$((next % 9 + 1))" "KP_$next")
    press "${keys[@]}"
    sleep 0.5
done
wait_results_after "$play"
expect "stage 1 of game 3" "$(q 'SELECT verdict FROM stages WHERE game_id = 3')" "clear"
press_switch KP_4   # next stage
play=$(current_window)
press KP_0
sleep 3
for _ in $(seq 6); do press KP_1 KP_1 KP_1; sleep 0.5; done
press Escape
wait_results_after "$play"
back_to_title
expect "three games" "$(q "SELECT group_concat(mode || ':' || outcome, ' ') FROM games")" \
    "normal:lost hard:lost normal:lost"

# The progress screen: keypad 2 on the title, pages with keypad 6.
press_switch KP_2
progress=$(current_window)
shots=${QUENNEL_SHOTS:-$E2E_TMP}
names=(totals gaps accuracy bests last-game)
grab_changed "$progress" /dev/null "$shots/progress-${names[0]}.png"
for i in 1 2 3 4; do
    press KP_6
    grab_changed "$progress" "$shots/progress-${names[$((i - 1))]}.png" "$shots/progress-${names[$i]}.png"
done
# The totals page draws the normal mode's line in its green.
green=$(convert "$shots/progress-totals.png" -crop 484x214+74+88 +repage -fuzz 25% -fill black \
    +opaque '#00FF00' -fill white -opaque '#00FF00' -format '%[fx:mean*w*h]' info:)
[ "${green%.*}" -gt 20 ] || fail "no line on the totals page ($green green pixels)"
switch_to "$title" KP_0

# The export: a header and one row per stage (1 + 1 + 2), the game's fields first.
csv=$(env -u DISPLAY "$BINARY" --game-dir "$E2E_TMP/game" --export-history -) || fail "the export failed"
expect "exported rows" "$(echo "$csv" | wc -l)" "5"
expect "export header" "$(echo "$csv" | head -1 | cut -d, -f1-12)" \
    "game,started_at,mode,game_total,outcome,last_stage,rank,game_median_gap_ms,stage,score,quota,verdict"
# hits, misses and the longest streak are worked out from the key rows.
expect "first stage exported" "$(echo "$csv" | sed -n 2p | cut -d, -f1,3-6,9-15)" "1,normal,280,lost,1,1,280,100,giveup,6,8,6"
(cd "$E2E_TMP" && env -u DISPLAY "$BINARY" --game-dir game --export-history out.csv) || fail "the export to a file failed"
cmp <(echo "$csv") "$E2E_TMP/out.csv" || fail "the file export differs from standard output"

# Another program holds the file: game 4's stage waits in memory, the player
# is told once the results are up, and quitting writes it.
hold_history "$db"
press_switch KP_4
play=$(current_window)
press KP_0
sleep 3
press KP_7 KP_8 KP_9
press Escape
wait_results_after "$play"
wait_dialogs 1
shot held-back
answer Return
wait_dialogs 0
back_to_title
expect "game 4 held back" "$(sqlite3 -cmd '.timeout 0' "$db" 'SELECT count(*) FROM games' 2>/dev/null)" ""
release_history
quit_game
expect "games after quitting" "$(q 'SELECT count(*) FROM games')" "4"
expect "files beside history.sqlite" "$(cd "$E2E_TMP/game" && ls history.sqlite*)" "history.sqlite"
echo "1 passed, 0 failed"
