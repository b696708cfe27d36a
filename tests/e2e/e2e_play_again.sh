#!/bin/bash
# Play again in a real window: a hard-mode game given up in stage 1, keypad 5
# on its results starts a new hard game at once (the play screen, stage 1
# ready, the title never shown); that game is played with every keypad digit
# and given up too, and the history holds the two games of the hard mode.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 5000 9
start_display
start_game "$BINARY"
db="$E2E_TMP/game/history.sqlite"

press_switch KP_6
play=$(current_window)
press KP_0
sleep 3   # the count-down
press KP_1 KP_2 KP_3 KP_4 KP_5 KP_6 KP_7 KP_8 KP_9
press Escape
wait_results_after "$play"
results=$(current_window)

# Keypad 5: the play screen again, the very window of the first game.
switch_to "$play" KP_5
wait_windows 1
press KP_0
sleep 3
press KP_9 KP_8 KP_7 KP_6 KP_5 KP_4 KP_3 KP_2 KP_1
press Escape
wait_results_after "$play"
[ "$(current_window)" = "$results" ] || fail "the second game did not end on the results screen"
quit_game

games=$(sqlite3 -batch -cmd '.timeout 5000' "$db" "SELECT group_concat(mode || ':' || outcome || ':' || last_stage, ' ') FROM games")
[ "$games" = "hard:lost:1 hard:lost:1" ] || fail "the history holds '$games', not two lost hard games"
keys=$(sqlite3 -batch -cmd '.timeout 5000' "$db" "SELECT count(*) FROM keys")
[ "$keys" = 18 ] || fail "the history holds $keys keys, not the 18 struck"
echo "1 passed, 0 failed"
