# Shared helpers of the end-to-end tests: a private Xvfb display, the real
# program started in a game folder, keys typed with xdotool.
set -euo pipefail

E2E_TMP=$(mktemp -d)
# The program keeps its settings under the config folder: a private one.
export XDG_CONFIG_HOME="$E2E_TMP/config"
GAME_PID=""
XVFB_PID=""

e2e_cleanup() {
    [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -s "$E2E_TMP/game.log" ] && sed 's/^/game: /' "$E2E_TMP/game.log" >&2
    exit 1
}

# start_display: a private Xvfb display of $DISPLAY_SIZE (1024x768 unless set).
start_display() {
    # Xvfb picks a free display itself and writes its number, so tests that
    # run side by side never share a display. Without -noreset the server
    # resets whenever its last client leaves, and a program connecting just
    # then is turned away.
    Xvfb -displayfd 3 -screen 0 "${DISPLAY_SIZE:-1024x768}x24" -nolisten tcp -noreset 3>"$E2E_TMP/display" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$E2E_TMP/display" ] && break
        sleep 0.1
    done
    [ -s "$E2E_TMP/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -1 "$E2E_TMP/display")"
    xdpyinfo >/dev/null 2>&1 || fail "Xvfb does not answer on $DISPLAY"
    # The keypad only sends digits with NumLock on.
    xdotool key Num_Lock
}

# copy_game SRC: the game folder under test, in $E2E_TMP/game
copy_game() {
    cp -r "$1" "$E2E_TMP/game"
    rm -rf "$E2E_TMP/game/tools" "$E2E_TMP/game/README.md"
}

# setup_game BINARY GAME [QUOTAS [RANGE...]]: the program under test in
# $BINARY, a copy of the game folder, and with QUOTAS the test's own
# tavo.dat (see write_test_data).
setup_game() {
    BINARY=$1
    copy_game "$2"
    shift 2
    [ $# -eq 0 ] || write_test_data "$@"
}

# private_settings: every run keeps its settings in its own folder, never
# in the account running the tests.
private_settings() {
    [ "$XDG_CONFIG_HOME" = "$E2E_TMP/config" ] || fail "settings folder is not private to this run"
}

# start_game BINARY [OPTION...]: runs the program in $E2E_TMP/game
start_game() {
    private_settings
    local bin
    bin=$(realpath "$1")
    shift
    (cd "$E2E_TMP/game" && exec env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb "$bin" "$@" >"$E2E_TMP/game.log" 2>&1) &
    GAME_PID=$!
    wait_windows 1
}

# stop_game: ends the running program and waits until its windows are gone.
stop_game() {
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
    GAME_PID=""
    wait_windows 0
}

# Client area of a game screen: 594 x 375, or as large as the zoom makes it.
SCREEN_SIZE=594x375

# Visible windows of the game (ids), one per line: the game screens
# ($SCREEN_SIZE client areas) with "screens", everything else (message
# boxes) with "dialogs".
visible_of_kind() {
    xdotool search --onlyvisible --class quennel 2>/dev/null | while read -r w; do
        geo=$(xwininfo -id "$w" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w"x"h}')
        if [ "$1" = screens ]; then [ "$geo" = "$SCREEN_SIZE" ] && echo "$w"
        else [ "$geo" != "$SCREEN_SIZE" ] && echo "$w"; fi
    done || true
}
visible_windows() { visible_of_kind screens; }
visible_dialogs() { visible_of_kind dialogs; }

# wait_count KIND N: waits until exactly N windows of that kind are visible.
wait_count() {
    for _ in $(seq 100); do
        [ "$(visible_of_kind "$1" | wc -l)" -eq "$2" ] && return 0
        sleep 0.1
    done
    fail "expected $2 visible $1, saw $(visible_of_kind "$1" | wc -l)"
}
wait_windows() { wait_count screens "$1"; }
wait_dialogs() { wait_count dialogs "$1"; }

# answer KEY...: waits for the one message box and for the keyboard focus to
# be in it, then types the keys there. A box is visible a moment before Qt
# hands it the focus; keys typed in that moment go to the screen behind it,
# which the box blocks, and are lost.
answer() {
    wait_dialogs 1
    local box
    box=$(visible_dialogs | head -1)
    for _ in $(seq 100); do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$box" ] && break
        sleep 0.1
    done
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$box" ] || fail "the message box never took the keyboard focus"
    xdotool key --delay 40 "$@"
}

# grab_changed WINDOW BEFORE FILE: grabs WINDOW into FILE once it no longer
# looks like the grab BEFORE and two grabs a tenth of a second apart agree:
# the answer to a key is waited for, not guessed at with a sleep.
grab_changed() {
    local previous="$E2E_TMP/grab-previous.png"
    rm -f "$previous"
    for _ in $(seq 100); do
        import -window "$1" "$3"
        if ! same_image "$2" "$3"; then
            [ -f "$previous" ] && same_image "$previous" "$3" && return 0
            cp "$3" "$previous"
        fi
        sleep 0.1
    done
    fail "window $1 did not change from $2, or did not settle"
}
same_image() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }

# hold_history DB: another program (sqlite3) takes the file DB for itself
# and keeps it until release_history.
hold_history() {
    rm -f "$E2E_TMP/lock_in"
    mkfifo "$E2E_TMP/lock_in"
    sqlite3 "$1" <"$E2E_TMP/lock_in" &
    HOLDER_PID=$!
    exec 4>"$E2E_TMP/lock_in"
    echo 'BEGIN EXCLUSIVE;' >&4
    for _ in $(seq 50); do
        sqlite3 -cmd '.timeout 0' "$1" 'SELECT count(*) FROM sqlite_master' >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "the other program did not take the history"
}
release_history() {
    echo 'ROLLBACK;' >&4
    exec 4>&-
    wait "$HOLDER_PID"
}

# The single visible game window.
current_window() {
    visible_windows | head -1
}

# wait_for_window ID [WHAT]: waits until ID is the one visible game window;
# WHAT, if given, names what should have brought it in the failure.
wait_for_window() {
    for _ in $(seq 100); do
        [ "$(visible_windows)" = "$1" ] && return 0
        sleep 0.1
    done
    fail "${2:-window $1 did not come back}"
}

# wait_other_than ID: waits until one game window other than ID is visible.
wait_other_than() {
    for _ in $(seq 100); do
        local now
        now=$(visible_windows)
        [ -n "$now" ] && [ "$now" != "$1" ] && [ "$(echo "$now" | wc -l)" -eq 1 ] && return 0
        sleep 0.1
    done
    fail "no other screen replaced window $1"
}

# press KEY...: focuses the visible game window and types the keys.
press() {
    local w
    w=$(current_window)
    [ -n "$w" ] || fail "no visible game window"
    # A window just shown may not be viewable yet: the X server refuses it
    # the focus for a moment.
    for _ in $(seq 20); do
        timeout 2 xdotool windowfocus --sync "$w" 2>/dev/null && break
        sleep 0.1
    done
    xdotool key --delay 40 "$@"
}

# press_switch KEY: types a key that changes the screen and waits until
# another screen has replaced the visible one (the old one stays "one
# visible screen" for a moment after the key).
press_switch() {
    local old
    old=$(current_window)
    press "$1"
    wait_other_than "$old"
}

# switch_to ID KEY: types KEY and waits for window ID to be the visible one.
switch_to() {
    press "$2"
    wait_for_window "$1" "$2 did not lead to window $1"
}

# sweep_and_give_up N: from the title, a normal game whose first stage gets
# the keypad struck 1 to 9, N times over (every digit both asked for, with
# stage data of key range 9, and pressed), given up; back on the title.
# Sets play to the play screen's window.
sweep_and_give_up() {
    local title
    title=$(current_window)
    press_switch KP_4
    play=$(current_window)
    press KP_0
    sleep 3   # the count-down
    for _ in $(seq "$1"); do
        press KP_1 KP_2 KP_3 KP_4 KP_5 KP_6 KP_7 KP_8 KP_9
    done
    press Escape
    wait_results_after "$play"
    switch_to "$title" KP_4
}

# shot NAME: screenshot of the whole display
shot() {
    import -window root "$E2E_TMP/$1.png"
}

# The window's pixel colour at client coordinates X Y (as #RRGGBB).
pixel_at() {
    local w=$(current_window) x=$1 y=$2
    import -window "$w" "$E2E_TMP/px.png"
    convert "$E2E_TMP/px.png" -format "%[hex:p{$x,$y}]" info: | cut -c1-6
}

# write_test_data QUOTA [RANGE...]: a tavo.dat with the given quota (one
# for every stage, or five separated by spaces) and the five key ranges (by
# default 1 1 1 1 9, one range alone for all five: the first stages always ask for key 1, so scripts may
# type it blindly; stage 5 asks for every digit, read with target_queue).
write_test_data() {
    local quotas=($1) f="$E2E_TMP/game/tavo.dat"
    shift
    local ranges=("$@")
    [ ${#ranges[@]} -eq 1 ] && ranges=("$1" "$1" "$1" "$1" "$1")
    [ ${#ranges[@]} -eq 5 ] || ranges=(1 1 1 1 9)
    [ ${#quotas[@]} -eq 5 ] || quotas=("${quotas[0]}" "${quotas[0]}" "${quotas[0]}" "${quotas[0]}" "${quotas[0]}")
    {
        printf '%s\r\n' "クェネル E2E" "見出し" First Second Third Bonus Final "キー範囲" "${ranges[@]}" \
            "ゲージ" 1 1 1 1 1 "ノルマ" "${quotas[@]}" "画像"
        for s in 1 2 3 4 5; do for k in 0 1 2; do printf 'chara\\s%d_%d.bmp\r\n' "$s" "$k"; done; done
        printf '%s\r\n' 20
        for i in $(seq 20); do printf '実況フレーズ%d\r\n' "$i"; done
    } | iconv -f UTF-8 -t SHIFT_JIS > "$f"
}

# target_queue: the six digits of the play screen's stack, the one to strike
# now first, read off the screen's pixels in the normal mode at zoom 1. The
# key grid has three columns 40 pixels apart from x 40 (keypad columns
# 1-4-7, 2-5-8, 3-6-9) and six rows 56 pixels apart, the bottom one at
# y 296; each row holds one digit, drawn in a shade of its keypad row's
# colour (green 1-3, cyan 4-6, yellow 7-9) that darkens up the stack.
# Nothing in the program is there for the tests. A screen just mapped may
# not be painted yet: it is read again for up to 2 s.
target_queue() {
    local queue=""
    for _ in $(seq 20); do
        import -window "$(current_window)" "$E2E_TMP/grid.png"
        queue=$(read_grid "$E2E_TMP/grid.png")
        [[ "$queue" =~ ^[1-9]( [1-9]){5}$ ]] && { echo "$queue"; return 0; }
        sleep 0.1
    done
    fail "the key grid does not read as six digits (read '$queue')"
}

# read_grid PNG: the stack's six digits in a screenshot of the play screen,
# "?" for a row that does not read as one digit.
read_grid() {
    local queue
    queue=$(convert "$1" -crop 120x340+40+14 +repage txt:- | awk -F'[ ,:]+' '
        BEGIN {
            split("FF C0 80 80 40 40", shade, " ")
            split("296 240 184 128 72 16", top, " ")
        }
        NR > 1 {
            x = $1; y = $2 + 14
            for (r = 1; r <= 6; ++r) {
                if (y < top[r] + 4 || y > top[r] + 52) continue
                s = shade[r]; c = toupper($0)
                g = -1
                if (c ~ ("#00" s "00")) g = 0
                else if (c ~ ("#00" s s)) g = 3
                else if (c ~ ("#" s s "00")) g = 6
                if (g >= 0) { d = int(x / 40) + 1 + g; if (!(r in seen)) seen[r] = d; else if (seen[r] != d) seen[r] = "?" }
            }
        }
        END { for (r = 1; r <= 6; ++r) printf "%s ", (r in seen ? seen[r] : "?") }')
    echo "${queue% }"
}

# The names xdotool types digits 0-9 by: the keypad with NumLock on, the
# keypad with it off, the digits above the letters.
KEYPAD_KEYS=(KP_0 KP_1 KP_2 KP_3 KP_4 KP_5 KP_6 KP_7 KP_8 KP_9)
NUMLOCK_OFF_KEYS=(KP_Insert KP_End KP_Down KP_Next KP_Left KP_Begin KP_Right KP_Home KP_Up KP_Prior)
MAIN_ROW_KEYS=(0 1 2 3 4 5 6 7 8 9)

# every_digit NAME...: on a play screen before its count-down, with the ten
# names of digits 0-9 the test types: reads the stack and sets STRUCK to
# every digit, the eight that are not the first target (misses) and then
# the six of the stack in turn (hits, 1+2+3+5+7+10 = 28 points), and KEYS
# to their names.
every_digit() {
    local names=("$@") queue d
    queue=$(target_queue)
    STRUCK=()
    for d in 1 2 3 4 5 6 7 8 9; do [ "$d" = "${queue%% *}" ] || STRUCK+=("$d"); done
    for d in $queue; do STRUCK+=("$d"); done
    KEYS=()
    for d in "${STRUCK[@]}"; do KEYS+=("${names[$d]}"); done
}

# expect_stage_digits DIGIT...: the play history keeps exactly these digits,
# in order, as the keys of its last stage (it has them once the stage is
# over; waits up to 10 s).
expect_stage_digits() {
    local seen=""
    for _ in $(seq 100); do
        seen=$(sqlite3 -batch -cmd '.timeout 5000' "$E2E_TMP/game/history.sqlite" "SELECT group_concat(digit, ' ') FROM (SELECT digit
            FROM keys WHERE stage_id = (SELECT max(id) FROM stages) ORDER BY rowid)" 2>/dev/null || true)
        [ "$seen" = "$*" ] && return 0
        sleep 0.1
    done
    fail "the history's keys of the stage are '$seen', not '$*'"
}

# quit_game: ends the program the player's way, Esc and OK on the quit
# question (Tab moves from Cancel, the default, to OK), and waits for it to
# end by itself. It must end with status 0 and without any sanitizer report:
# a sanitizer build checks for leaks as it ends.
quit_game() {
    press Escape
    answer Tab space
    local status=0
    for _ in $(seq 200); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$GAME_PID" 2>/dev/null && fail "OK on the quit question did not end the game"
    wait "$GAME_PID" || status=$?
    GAME_PID=""
    [ "$status" -eq 0 ] || fail "the game ended with status $status"
    if grep -qE 'Sanitizer|runtime error:' "$E2E_TMP/game.log"; then
        fail "the sanitizer reported"
    fi
}

# The expected score file for twelve values.
score_bytes() {
    printf '%s\r\n' "$@"
}

# wait_results_after OLD_ID [KEY]: presses keypad 0 (or KEY) every half
# second until a game window other than OLD_ID is the visible one (keypad 0
# does nothing while a stage is being played, and shows the results once it
# is over).
wait_results_after() {
    local old=$1 key=${2:-KP_0}
    for _ in $(seq 120); do
        press "$key"
        sleep 0.5
        local now
        now=$(current_window)
        [ -n "$now" ] && [ "$now" != "$old" ] && return 0
    done
    fail "the results screen never came"
}

# wait_focus: a screen is mapped a moment before the X server gives it the
# focus, and a key typed in between goes nowhere. Waits (up to 10 s) for the
# visible screen to take the focus by itself.
wait_focus() {
    for _ in $(seq 100); do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(current_window)" ] && return 0
        sleep 0.1
    done
    fail "the visible screen never took the focus"
}

# count_colour FILE GEOMETRY COLOUR: pixels of about that colour in the area.
count_colour() {
    local n
    n=$(convert "$1" -crop "$2" +repage -fuzz 6% -fill black +opaque "$3" -fill white -opaque "$3" \
        -format '%[fx:mean*w*h]' info:)
    echo "${n%.*}"
}
