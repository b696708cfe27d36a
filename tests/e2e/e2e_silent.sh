#!/bin/bash
# Without a sound device (an audio driver that does not exist) keypad 0
# still waits out the count-down, three, two, one, before play starts: at
# least as long as the three WAVs last by their headers.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 5000
export SDL_AUDIODRIVER=no-such-driver
start_display
start_game "$BINARY"
title=$(current_window)
press KP_4
wait_other_than "$title"
play=$(current_window)

countdown_ms=$(for s in three two one; do soxi -D "$E2E_TMP/game/wav/$s.wav"; done |
    awk '{t += $1} END {printf "%d", t * 1000}')
[ "$countdown_ms" -gt 500 ] || fail "count-down sounds of only $countdown_ms ms"

# Esc gives up only once play runs and keypad 0 then shows the results, so
# the results cannot come before the count-down is over.
start=$(date +%s%N)
press KP_0 Escape KP_0
wait_other_than "$play"
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$elapsed_ms" -ge "$countdown_ms" ] ||
    fail "play started after $elapsed_ms ms, the count-down lasts $countdown_ms ms"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended"
echo "1 passed, 0 failed"
