#!/bin/bash
# --zoom N in a real window: zoom 2 gives 1188 x 750 client areas on every
# screen and a message box twice as large, and is remembered for the next
# start; a zoom outside 1..4 ends the program with exit status 2 and a
# message before any window opens. --palette safe colours the play grid and
# its target frame in the safe colours, remembered; --palette standard
# brings back the red frame.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2"
start_display

# window_size ID: the client area as WIDTHxHEIGHT
window_size() {
    xwininfo -id "$1" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w"x"h}'
}
# Width of the quit question, asked with Esc on the title screen.
quit_box_width() {
    press Escape
    wait_dialogs 1
    local box
    box=$(visible_dialogs | head -1)
    xwininfo -id "$box" | awk '/Width:/{print $2}'
}

# A bad zoom: exit status 2 and a message naming the option, no window.
bin=$(realpath "$BINARY")
for bad in 5 0 x 1.5; do
    rc=0
    (cd "$E2E_TMP/game" && env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb "$bin" --zoom "$bad") \
        >"$E2E_TMP/out" 2>"$E2E_TMP/err" || rc=$?
    [ "$rc" -eq 2 ] || fail "--zoom $bad: exit status $rc, wanted 2"
    grep -q -- "--zoom" "$E2E_TMP/err" || fail "--zoom $bad: no message naming --zoom: $(cat "$E2E_TMP/err")"
    [ -z "$(xdotool search --class quennel 2>/dev/null)" ] || fail "--zoom $bad opened a window"
done
! grep -qs zoom "$XDG_CONFIG_HOME/quennel/quennel.ini" || fail "a bad zoom was remembered"

# Zoom 1 (the default on this 96-dpi display): the design size.
start_game "$BINARY"
[ "$(window_size "$(current_window)")" = 594x375 ] || fail "the title is not 594 x 375 without a zoom"
plain_box=$(quit_box_width)
stop_game

# Zoom 2: every screen twice as large, the message box too.
SCREEN_SIZE=1188x750
start_game "$BINARY" --zoom 2
title=$(current_window)
[ "$(window_size "$title")" = 1188x750 ] || fail "the title is $(window_size "$title") at zoom 2"
shot zoom2_title
zoomed_box=$(quit_box_width)
echo "quit question: $plain_box px wide at zoom 1, $zoomed_box px at zoom 2"
# Twice as wide, give or take a few pixels of the window frame's rounding.
[ $((zoomed_box * 10)) -ge $((plain_box * 19)) ] && [ $((zoomed_box * 10)) -le $((plain_box * 21)) ] \
    || fail "the quit question is $zoomed_box px wide at zoom 2, $plain_box px at zoom 1"
answer Escape   # Cancel keeps the game
wait_dialogs 0
press_switch KP_4
play=$(current_window)
[ "$play" != "$title" ] || fail "keypad 4 did not open the play screen"
[ "$(window_size "$play")" = 1188x750 ] || fail "the play screen is $(window_size "$play") at zoom 2"
stop_game

# Remembered: the next start without the option is at zoom 2 again.
grep -q '^zoom=2' "$XDG_CONFIG_HOME/quennel/quennel.ini" || fail "zoom 2 not in the settings file"
start_game "$BINARY"
[ "$(window_size "$(current_window)")" = 1188x750 ] || fail "zoom 2 was not remembered"
stop_game

# --zoom 1 returns to the design size, and is remembered in turn.
SCREEN_SIZE=594x375
start_game "$BINARY" --zoom 1
[ "$(window_size "$(current_window)")" = 594x375 ] || fail "--zoom 1 did not return to 594 x 375"
stop_game
grep -q '^zoom=1' "$XDG_CONFIG_HOME/quennel/quennel.ini" || fail "zoom 1 not in the settings file"

# play_grid OPTION...: starts the game and opens a stage of key range 9
# (every digit can come); the exact colours of its key grid (120 x 340 from
# 40,14) in $E2E_TMP/colours, one per line, and the target frame's left
# edge (x 40, halfway down the bottom row) as FRAME.
play_grid() {
    start_game "$BINARY" "$@"
    press_switch KP_4
    sleep 1
    import -window "$(current_window)" "$E2E_TMP/grid.png"
    convert "$E2E_TMP/grid.png" -crop 120x340+40+14 +repage -unique-colors txt:- |
        awk 'NR > 1 { print toupper($3) }' >"$E2E_TMP/colours"
    FRAME=$(convert "$E2E_TMP/grid.png" -format '%[hex:p{40,324}]' info: | cut -c1-6)
}
write_test_data 100 9
# A bad name: exit status 2, a message naming it, nothing remembered.
rc=0
(cd "$E2E_TMP/game" && env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb LANG=ja_JP.UTF-8 "$bin" --palette pastel) \
    >"$E2E_TMP/out" 2>"$E2E_TMP/err" || rc=$?
[ "$rc" -eq 2 ] || fail "--palette pastel: exit status $rc, wanted 2"
grep -q -- "--palette" "$E2E_TMP/err" && grep -q "pastel" "$E2E_TMP/err" || fail "--palette pastel: $(cat "$E2E_TMP/err")"
! grep -qs palette "$XDG_CONFIG_HOME/quennel/quennel.ini" || fail "a bad palette was remembered"
for run in given remembered; do
    if [ "$run" = given ]; then play_grid --palette safe; else play_grid; fi
    [ "$FRAME" = D55E00 ] || fail "safe palette ($run): the target frame is #$FRAME"
    # The stack's digits in the safe rows' full colours (the bottom row is
    # never darkened), none in the standard green, cyan or yellow.
    grep -qE '^#(3D9BFF|CC79A7|F0E442)' "$E2E_TMP/colours" || fail "safe palette ($run): no safe row colour in the grid"
    ! grep -qE '^#(00FF00|00FFFF|FFFF00)' "$E2E_TMP/colours" || fail "safe palette ($run): a standard colour in the grid"
    stop_game
done
grep -q '^palette=safe' "$XDG_CONFIG_HOME/quennel/quennel.ini" || fail "the safe palette is not in the settings file"
play_grid --palette standard
[ "$FRAME" = FF0000 ] || fail "standard palette: the target frame is #$FRAME"
grep -qE '^#(00FF00|00FFFF|FFFF00)' "$E2E_TMP/colours" || fail "standard palette: no standard row colour in the grid"
stop_game
echo "1 passed, 0 failed"
