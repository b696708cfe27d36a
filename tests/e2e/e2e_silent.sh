#!/bin/bash
# Without a sound device (an audio driver that does not exist), and without
# SDL's library at all, keypad 0 still waits out the count-down, three, two,
# one, before play starts: at least as long as the three WAVs last by their
# headers. The program does not link SDL: it loads it once the title is up.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 5000
! ldd "$BINARY" | grep -q 'libSDL2' || fail "the program links SDL, loaded before its title"
start_display
countdown_ms=$(for s in three two one; do soxi -D "$E2E_TMP/game/wav/$s.wav"; done |
    awk '{t += $1} END {printf "%d", t * 1000}')
[ "$countdown_ms" -gt 500 ] || fail "count-down sounds of only $countdown_ms ms"

# Title, play screen, then Esc (which gives up only once play runs) and
# keypad 0 for the results: they cannot come before the count-down is over.
silent_countdown() {
    start_game "$BINARY"
    local title play start elapsed_ms
    title=$(current_window)
    press KP_4
    wait_other_than "$title"
    play=$(current_window)
    start=$(date +%s%N)
    press KP_0 Escape KP_0
    wait_other_than "$play"
    elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
    [ "$elapsed_ms" -ge "$countdown_ms" ] ||
        fail "$1: play started after $elapsed_ms ms, the count-down lasts $countdown_ms ms"
    kill -0 "$GAME_PID" 2>/dev/null || fail "$1: the game ended"
    ! grep -qiE 'sdl|sound|audio|alsa|pulse' "$E2E_TMP/game.log" ||
        fail "$1: the game printed: $(head -c 300 "$E2E_TMP/game.log")"
    stop_game
}

export SDL_AUDIODRIVER=no-such-driver
silent_countdown "no sound device"
# A library by SDL's name that is not SDL: found first, it lacks every
# function the game looks for.
mkdir -p "$E2E_TMP/nosdl"
cp /lib/x86_64-linux-gnu/libutil.so.1 "$E2E_TMP/nosdl/libSDL2-2.0.so.0"
export LD_LIBRARY_PATH="$E2E_TMP/nosdl"
silent_countdown "no SDL"
echo "2 passed, 0 failed"
