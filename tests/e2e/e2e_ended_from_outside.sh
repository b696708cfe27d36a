#!/bin/bash
# The game ended from outside keeps what it held back. A stage played while
# another program holds history.sqlite waits in memory; once the file is
# free, SIGTERM (a logout, a shutdown) ends the game at once, without the
# quit question, with the stage written and the status 128 + 15. The same
# with the display lost instead: the stage is written, the status is 1,
# and the program does not crash on its way out.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 10 9 1 1 1 9   # stage 1 asks for any digit
private_settings   # settings in this run's own folder (XDG_CONFIG_HOME), never the account's
db="$E2E_TMP/game/history.sqlite"
q() { sqlite3 -batch -cmd '.timeout 5000' "$db" "$1"; }

# held_stage DIGIT...: from the title, a normal game's first stage with
# these keypad digits, given up while another program holds the history;
# the notice is closed, the holder lets go.
held_stage() {
    local title play
    title=$(current_window)
    press_switch KP_4   # the play screen: the history file is there now
    play=$(current_window)
    hold_history "$db"
    press KP_0
    sleep 3   # the count-down
    press "$@"
    press Escape
    wait_results_after "$play"
    answer Return   # the history could not be written: told
    wait_dialogs 0
    release_history
}

# ended_with STATUS: waits up to 10 s for the game to end, and checks how.
ended_with() {
    for _ in $(seq 100); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$GAME_PID" 2>/dev/null && fail "the game did not end"
    local status=0
    wait "$GAME_PID" || status=$?
    GAME_PID=""
    [ "$status" -eq "$1" ] || fail "the game ended with status $status, not $1"
    if grep -qE 'Sanitizer|runtime error:' "$E2E_TMP/game.log"; then
        fail "the sanitizer reported"
    fi
}

start_display
start_game "$BINARY"
held_stage KP_1 KP_2 KP_3 KP_4 KP_5 KP_6 KP_7 KP_8 KP_9
[ "$(q 'SELECT count(*) FROM games')" = 0 ] || fail "the stage was written while the file was held"
kill -TERM "$GAME_PID"
ended_with 143
[ "$(q 'SELECT count(*) FROM games')" = 1 ] || fail "SIGTERM lost the held stage"
[ "$(q "SELECT group_concat(digit, '') FROM (SELECT digit FROM keys ORDER BY rowid)")" = 123456789 ] ||
    fail "SIGTERM wrote other keys: $(q 'SELECT group_concat(digit) FROM keys')"
[ "$(cd "$E2E_TMP/game" && ls history.sqlite*)" = history.sqlite ] || fail "files left beside history.sqlite"

# The display goes away after a stage held back.
start_game "$BINARY"
held_stage KP_9 KP_8 KP_7 KP_6 KP_5 KP_4 KP_3 KP_2 KP_1
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true
XVFB_PID=""
ended_with 1
[ "$(q 'SELECT count(*) FROM games')" = 2 ] || fail "the lost display lost the held stage"
[ "$(q "SELECT group_concat(digit, '') FROM (SELECT digit FROM keys WHERE stage_id = 2 ORDER BY rowid)")" = 987654321 ] ||
    fail "the lost display wrote other keys"
echo "1 passed, 0 failed"
