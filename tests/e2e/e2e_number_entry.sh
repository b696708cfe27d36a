#!/bin/bash
# 数字入力 in a real window: keypad 8 on the title opens the test, keypad 0
# counts down a one-minute test (the length chosen by default), and three
# entries strike every key of it: the keypad's ten digits, its point, its
# minus and Enter, BackSpace and the main Enter, and with NumLock off the
# keypad's navigation keys (Ins is 0, Del the point). None of them can equal
# an amount (too long, a leading 0, three decimals), so all three are wrong.
# At time-up keypad 0 shows the result and keypad 0 there the title. The
# export names every key struck, mode entry; tavo_s.dat stays byte for byte.
# Keypad 2 then opens プレイ記録, whose keypad pages start in the 数字入力
# mode after a test: keypad 6 to テンキー分析 shows the keypad as it is,
# Enter two rows tall on the right (each key "—", under 20 presses);
# keypad 5 turns it to the normal mode's nine keys.
# With QUENNEL_SHOTS=DIR the test screen, its result and the keypad page
# are kept there.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2"
private_settings   # settings in this run's own folder (XDG_CONFIG_HOME), never the account's
start_display
start_game "$BINARY"
title=$(current_window)
db="$E2E_TMP/game/history.sqlite"
shots=${QUENNEL_SHOTS:-$E2E_TMP}
cp "$E2E_TMP/game/tavo_s.dat" "$E2E_TMP/scores-before"

press_switch KP_8
entry=$(current_window)
press KP_0
# "1234567890." less two erased keys: 123456789, keypad Enter.
press KP_1 KP_2 KP_3 KP_4 KP_5 KP_6 KP_7 KP_8 KP_9 KP_0 KP_Decimal BackSpace KP_Subtract KP_Enter
# "0.000" with the main Enter.
press KP_0 KP_Decimal KP_0 KP_0 KP_0 Return
xdotool key Num_Lock
# "12.000000" with NumLock off, keypad Enter.
press KP_End KP_Down KP_Delete KP_Insert KP_Insert KP_Insert KP_Insert KP_Insert KP_Insert
press KP_Enter
xdotool key Num_Lock
press KP_1 KP_2
import -window "$entry" "$shots/entry-window.png"

# The test is written when its minute is up.
for _ in $(seq 900); do
    [ "$(sqlite3 -batch -cmd '.timeout 5000' "$db" "SELECT count(*) FROM games WHERE mode = 'entry'" 2>/dev/null || echo 0)" = 1 ] && break
    sleep 0.1
done
[ "$(sqlite3 -batch -cmd '.timeout 5000' "$db" "SELECT count(*) FROM games WHERE mode = 'entry'")" = 1 ] || fail "no test in the history"
press_switch KP_0
result=$(current_window)
[ "$result" != "$entry" ] || fail "keypad 0 after time-up showed no result"
sleep 0.5
import -window "$result" "$shots/entry-window-result.png"
switch_to "$title" KP_0

press_switch KP_2
progress=$(current_window)
# Page by page to テンキー分析, each grabbed once it is there.
grab_changed "$progress" /dev/null "$E2E_TMP/page-1.png"
for n in 2 3 4 5 6; do
    press KP_6
    grab_changed "$progress" "$E2E_TMP/page-$((n - 1)).png" "$E2E_TMP/page-$n.png"
done
cp "$E2E_TMP/page-6.png" "$shots/progress-keypad-entry-window.png"
press KP_5
grab_changed "$progress" "$E2E_TMP/page-6.png" "$E2E_TMP/keypad-normal.png"
# Inside the tall Enter key (220,186 to 276,286), right of where the
# normal mode's keypad ends (250): the grey of "—" only in the 数字入力 mode.
enter_grey=$(count_colour "$shots/progress-keypad-entry-window.png" 20x80+254+196 '#303044')
normal_grey=$(count_colour "$E2E_TMP/keypad-normal.png" 20x80+254+196 '#303044')
[ "$enter_grey" -gt 1200 ] || fail "no tall Enter key in the 数字入力 mode ($enter_grey grey pixels)"
[ "$normal_grey" -lt 100 ] || fail "keypad 5 did not leave the 数字入力 mode ($normal_grey grey pixels)"
switch_to "$title" KP_0

csv=$(env -u DISPLAY "$BINARY" --game-dir "$E2E_TMP/game" --export-keys -) || fail "the keys export failed"
struck=$(echo "$csv" | tail -n +2 | cut -d, -f3,5 | sort -u | tr '\n' ' ')
expected="entry,. entry,0 entry,1 entry,2 entry,3 entry,4 entry,5 entry,6 entry,7 entry,8 entry,9 entry,back entry,enter "
[ "$struck" = "$expected" ] || fail "keys struck in the export: $struck"
# 14 + 6 + 10 keys; the 1 and 2 typed last stand unsubmitted but count.
[ "$(echo "$csv" | tail -n +2 | wc -l)" -eq 32 ] || fail "key rows: $(echo "$csv" | tail -n +2 | wc -l)"
[ "$(echo "$csv" | grep -c ',enter,enter,1$')" -eq 0 ] || fail "an entry was taken as correct"
stages=$(env -u DISPLAY "$BINARY" --game-dir "$E2E_TMP/game" --export-history -) || fail "the export failed"
# mode, score (net keys), hits (correct entries), misses (wrong entries)
row=$(echo "$stages" | sed -n 2p | cut -d, -f3,10,13,14)
[ "$row" = "entry,0,0,3" ] || fail "the test's row: $row"
play_ms=$(echo "$stages" | sed -n 2p | cut -d, -f17)
[ "$play_ms" -ge 59000 ] && [ "$play_ms" -le 62000 ] || fail "the clock ran $play_ms ms"
cmp -s "$E2E_TMP/scores-before" "$E2E_TMP/game/tavo_s.dat" || fail "a test changed tavo_s.dat"
echo "1 passed, 0 failed"
