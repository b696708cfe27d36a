#!/bin/bash
# The insight pages of プレイ記録 in a real window: after a normal game that
# asks for digits 1-9 (the keypad struck 1 to 9 over and over, so every
# digit is both asked for and pressed), keypad 6 on the progress screen
# reaches テンキー分析, 打ち間違い, 苦手な指運び and 打鍵速度: the keypad
# shows figures in its shading, keypad 5 switches it to the hard mode (no
# games: every key "—"; three times more round practice and 数字入力 back
# to normal), the misses grid and the speed chart are drawn, the latter with
# the line of the normal mode's best, gone in the hard mode; 練習カレンダー
# shades today, 数字別の推移 has this week's point, and back on the title the
# daily goal's line is there, as at the next start (and with --daily-goal 0
# it is not); with
# --palette safe the keypad page draws in the safe colours. The keys export
# as CSV from the command line.
# With QUENNEL_SHOTS=DIR the pages are kept there as PNG files, and the
# keypad page once more at zoom 2.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2" 10 9
# Room for the keypad page at zoom 2 when the pages are kept.
[ -z "${QUENNEL_SHOTS:-}" ] || DISPLAY_SIZE=1280x1024
start_display
start_game "$BINARY"
title=$(current_window)
db="$E2E_TMP/game/history.sqlite"
shots=${QUENNEL_SHOTS:-$E2E_TMP}

# A normal game: 1 to 9 thirty times, then give up.
sweep_and_give_up 30
targets=$(sqlite3 -batch -cmd '.timeout 5000' "$db" 'SELECT count(DISTINCT target) FROM keys')
[ "$targets" -eq 9 ] || fail "the game asked for $targets different digits, not 9"

# Keypad 2, then keypad 6 past the five older pages.
press_switch KP_2
progress=$(current_window)
# turn KEY FILE: KEY, then the page it brings grabbed into FILE.
before="$E2E_TMP/page-1.png"
grab_changed "$progress" /dev/null "$before"
turn() {
    press "$1"
    grab_changed "$progress" "$before" "$2"
    before="$2"
}
for n in 2 3 4 5; do turn KP_6 "$E2E_TMP/page-$n.png"; done

# hard_then_back FILE: keypad 5 (the hard mode) grabbed into FILE, then
# round the other modes back to the first, its page as it was.
hard_then_back() {
    local page="$before"
    turn KP_5 "$1"
    press KP_5 KP_5 KP_5
    for _ in $(seq 100); do
        import -window "$progress" "$E2E_TMP/back.png"
        same_image "$page" "$E2E_TMP/back.png" && break
        sleep 0.1
    done
    same_image "$page" "$E2E_TMP/back.png" || fail "keypad 5 did not come round to the first mode"
    before="$page"
}
names=(keypad misses moves speed)
for i in 0 1 2 3; do
    turn KP_6 "$shots/progress-${names[$i]}.png"
    [ "$i" -eq 0 ] && hard_then_back "$E2E_TMP/keypad-hard.png"
    [ "$i" -eq 3 ] && hard_then_back "$E2E_TMP/speed-hard.png"
done
# The keypad (40,82 to 250,292): in the hard mode, with no games, all nine
# keys in the grey of "—" (66 x 66 px each); in the normal mode at least
# three keys shaded with their figures instead.
normal_grey=$(count_colour "$shots/progress-keypad.png" 210x210+40+82 '#303044')
hard_grey=$(count_colour "$E2E_TMP/keypad-hard.png" 210x210+40+82 '#303044')
[ "$hard_grey" -gt 30000 ] || fail "keypad 5 did not switch the keypad to the hard mode ($hard_grey grey pixels)"
[ "$normal_grey" -lt $((hard_grey - 10000)) ] || fail "the keypad shows no figures ($normal_grey grey pixels)"
# The misses grid (84,104, 9 x 22 px) has cells in the misses' orange.
[ "$(count_colour "$shots/progress-misses.png" 198x198+84+104 '#FF8000')" -gt 100 ] ||
    fail "no misses in the grid"
# The speed chart: the normal game's green dot.
normal_green=$(count_colour "$shots/progress-speed.png" 420x160+80+84 '#00FF00')
[ "$normal_green" -gt 10 ] || fail "no game on the speed chart"
# The normal mode's best as a dashed green line across it; keypad 5 there
# turns to hard, which has no best and no line.
hard_green=$(count_colour "$E2E_TMP/speed-hard.png" 420x160+80+84 '#00FF00')
[ "$normal_green" -gt $((hard_green + 150)) ] ||
    fail "no line of the best on the speed chart, or keypad 5 did not switch it ($normal_green, $hard_green green pixels)"
# 練習カレンダー: today's day (the last week's column, 432 px; its weekday's
# row, 22 px apart from 102) in the shade of a few minutes.
turn KP_6 "$shots/progress-calendar.png"
row=$(( $(date +%u) - 1 ))
[ "$(count_colour "$shots/progress-calendar.png" 14x14+432+$((102 + row * 22)) '#00551E')" -gt 100 ] ||
    fail "today is not shaded on the calendar"
# 数字別の推移: the digits struck often enough have a point (in their
# row's colour) in this week, the last of the eight, at x 152, 337 or 522
# of the keypad's three columns: at least three points of about 12 px.
turn KP_6 "$shots/progress-digit-trend.png"
points=0
for x in 146 331 516; do
    for colour in '#00FF00' '#00FFFF' '#FFFF00'; do
        points=$((points + $(count_colour "$shots/progress-digit-trend.png" 12x210+$x+80 "$colour")))
    done
done
[ "$points" -gt 30 ] || fail "too few digits have a point for this week ($points pixels)"
switch_to "$title" KP_0
# The daily goal's line under the title's menu (266,290 to 566,310), where
# the artwork has no light pixel.
bright() {
    local n
    n=$(convert "$1" -crop 300x20+266+290 +repage -colorspace Gray -threshold 50% -format '%[fx:mean*w*h]' info:)
    echo "${n%.*}"
}
sleep 1
import -window "$title" "$E2E_TMP/title-goal.png"
[ -z "${QUENNEL_SHOTS:-}" ] || cp "$E2E_TMP/title-goal.png" "$shots/title-goal.png"
[ "$(bright "$E2E_TMP/title-goal.png")" -gt 40 ] || fail "no daily goal line on the title"

if [ -n "${QUENNEL_SHOTS:-}" ]; then
    stop_game
    SCREEN_SIZE=1188x750
    start_game "$BINARY" --zoom 2
    press KP_2
    sleep 1
    press KP_6 KP_6 KP_6 KP_6 KP_6
    sleep 1
    import -window "$(current_window)" "$shots/progress-keypad-zoom2.png"
fi

# The keypad page in the safe palette: the digits in its row colours (1-3
# blue), none in the standard green, the same keys shaded or grey.
stop_game
SCREEN_SIZE=594x375
start_game "$BINARY" --zoom 1 --palette safe
press KP_2
sleep 1
press KP_6 KP_6 KP_6 KP_6 KP_6
sleep 1
import -window "$(current_window)" "$E2E_TMP/keypad-safe.png"
[ -z "${QUENNEL_SHOTS:-}" ] || cp "$E2E_TMP/keypad-safe.png" "$shots/progress-keypad-safe.png"
[ "$(count_colour "$E2E_TMP/keypad-safe.png" 210x210+40+82 '#3D9BFF')" -gt 8 ] || fail "no safe blue digit on the keypad"
[ "$(count_colour "$E2E_TMP/keypad-safe.png" 210x210+40+82 '#00FF00')" -eq 0 ] || fail "standard green on the safe keypad"
safe_grey=$(count_colour "$E2E_TMP/keypad-safe.png" 210x210+40+82 '#303044')
[ $((safe_grey - normal_grey)) -lt 1000 ] && [ $((normal_grey - safe_grey)) -lt 1000 ] ||
    fail "the safe keypad has $safe_grey grey pixels, the standard one $normal_grey"

# At the start the line comes too, once the title has been painted.
stop_game
start_game "$BINARY"
for _ in $(seq 50); do
    import -window "$(current_window)" "$E2E_TMP/title-start.png"
    [ "$(bright "$E2E_TMP/title-start.png")" -gt 40 ] && break
    sleep 0.1
done
[ "$(bright "$E2E_TMP/title-start.png")" -gt 40 ] || fail "no daily goal line on the title at the start"

# Without a goal the title has no such line.
stop_game
start_game "$BINARY" --zoom 1 --daily-goal 0 --palette standard
sleep 1
import -window "$(current_window)" "$E2E_TMP/title-no-goal.png"
[ "$(bright "$E2E_TMP/title-no-goal.png")" -eq 0 ] || fail "a daily goal line with the goal off"
stop_game

# The keys export: one row per key struck, in the file's order.
csv=$(env -u DISPLAY "$BINARY" --game-dir "$E2E_TMP/game" --export-keys -) || fail "the keys export failed"
[ "$(echo "$csv" | head -1)" = "game,stage,mode,ms,digit,target,hit" ] || fail "keys header: $(echo "$csv" | head -1)"
[ "$(echo "$csv" | tail -n +2 | wc -l)" -eq "$(sqlite3 -batch -cmd '.timeout 5000' "$db" 'SELECT count(*) FROM keys')" ] ||
    fail "not one row per key"
[ "$(echo "$csv" | sed -n 2p | cut -d, -f1-3)" = "1,1,normal" ] || fail "first key row: $(echo "$csv" | sed -n 2p)"
echo "1 passed, 0 failed"
