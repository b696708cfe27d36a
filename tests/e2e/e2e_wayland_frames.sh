#!/bin/bash
# Whole frames on a Wayland-only desktop: the game as a native Wayland
# client (weston, DISPLAY unset) draws every screen as X11 draws it. The same
# five-stage game is played under X11 and on weston, each stage struck with
# every digit (eight misses, then a dozen hits) and played to time-up; the
# play screen after the hits, the results, the log and the final screen
# must match X11's pixel for pixel. Left out of the comparison: what the
# moment itself decides (the stack's digits are drawn at random, the clock's
# marker and the commentary box move every second); the stack must still
# read as six digits on both.
#
# The X11 half runs at the same time, in a second copy of this script with
# its own Xvfb (called with --x11 and the folder for its screenshots).
here=$(dirname "$0")
source "$here/lib.sh"
private_settings   # settings in this run's own folder (XDG_CONFIG_HOME), never the account's
x11_half=""
if [ "${1:-}" = --x11 ]; then
    x11_half=$4
    shift
else
    source "$here/weston.sh"
fi
setup_game "$1" "$2" 20 9
# One phrase twenty times: the random draws then say the same on both.
data="$E2E_TMP/game/tavo.dat"
iconv -f SHIFT_JIS -t UTF-8 "$data" | sed 's/^実況フレーズ[0-9]*/実況フレーズ/' | iconv -f UTF-8 -t SHIFT_JIS >"$data.new"
mv "$data.new" "$data"
shots="$E2E_TMP/shots"
mkdir -p "$shots"

# The Wayland window's client area in weston's picture: weston places each
# new window where it likes, on a black desktop; the window is the box of
# what is not black (the pointer rests in the far corner, left out), and
# Qt's decoration adds a fixed margin.
DECORATION_LEFT=3
DECORATION_TOP=30
client_origin() {
    local box
    box=$(convert "$1" -crop 780x580+0+0 +repage -format '%@' info:)
    local x=${box#*+} y=${box##*+}
    x=${x%+*}
    echo "$((x + DECORATION_LEFT)) $((y + DECORATION_TOP))"
}

# grab FILE: the visible screen's client area.
grab() {
    if [ -n "$x11_half" ]; then
        import -window "$(current_window)" "$1"
    else
        wl_shot "$E2E_TMP/whole.png"
        local origin
        origin=($(client_origin "$E2E_TMP/whole.png"))
        convert "$E2E_TMP/whole.png" -crop "${SCREEN_SIZE}+${origin[0]}+${origin[1]}" +repage "$1"
    fi
}

# keys KEY...: keypad digits by number (0-9) and other keys by name.
keys() {
    local names=() k
    for k in "$@"; do
        if [[ "$k" =~ ^[0-9]$ ]]; then
            if [ -n "$x11_half" ]; then names+=("${KEYPAD_KEYS[$k]}"); else names+=("${NUMLOCK_OFF_KEYS[$k]}"); fi
        else
            names+=("$k")
        fi
    done
    if [ -n "$x11_half" ]; then press "${names[@]}"; else wl_key "${names[@]}"; fi
}

same_pixels() {
    cmp -s <(convert "$1" rgb:-) <(convert "$2" rgb:-)
}

# settled FILE: the screen grabbed until two grabs in a row are alike.
settled() {
    local before="$E2E_TMP/before.png"
    grab "$before"
    for _ in $(seq 100); do
        sleep 0.1
        grab "$1"
        same_pixels "$1" "$before" && return 0
        mv "$1" "$before"
    done
    fail "the screen never held still"
}

# stack_other_than OLD: waits until the stack reads as six digits other
# than OLD, the same twice half a second apart (the keys typed so far have
# all been taken), and prints them.
stack_other_than() {
    local now="" again=""
    for _ in $(seq 100); do
        grab "$E2E_TMP/stack.png"
        now=$(read_grid "$E2E_TMP/stack.png")
        if [[ "$now" =~ ^[1-9]( [1-9]){5}$ ]] && [ "$now" != "$1" ] && [ "$now" = "$again" ]; then
            echo "$now"
            return 0
        fi
        again=$now
        sleep 0.5
    done
    fail "the stack does not read as six new digits (read '$now', before '$1')"
}

# commentary_changes N: waits until the commentary box has changed N times
# (the clock has ticked at least N times since).
commentary_changes() {
    local before="$E2E_TMP/box-before.png" now="$E2E_TMP/box-now.png" seen=0
    grab "$E2E_TMP/box.png"
    convert "$E2E_TMP/box.png" -crop 417x73+168+280 +repage "$before"
    for _ in $(seq 100); do
        grab "$E2E_TMP/box.png"
        convert "$E2E_TMP/box.png" -crop 417x73+168+280 +repage "$now"
        if ! same_pixels "$now" "$before"; then
            seen=$((seen + 1))
            [ "$seen" -ge "$1" ] && return 0
            mv "$now" "$before"
        fi
        sleep 0.2
    done
    fail "the commentary did not change $1 times"
}

# key_to_new_screen KEY: types KEY (again every half second, as keypad 0
# waits for time-up) until another screen shows.
key_to_new_screen() {
    local old="$E2E_TMP/old.png" now="$E2E_TMP/now.png"
    settled "$old"
    for _ in $(seq 120); do
        keys "$1"
        sleep 0.5
        grab "$now"
        # Left of the middle: the key grid on the play screen, something
        # else on every other screen.
        convert "$now" -crop 160x375+0+0 +repage "$E2E_TMP/now-left.png"
        convert "$old" -crop 160x375+0+0 +repage "$E2E_TMP/old-left.png"
        if ! same_pixels "$E2E_TMP/now-left.png" "$E2E_TMP/old-left.png" \
            && ! [[ "$(read_grid "$now")" =~ ^[1-9\ ]+$ ]]; then
            settled "$now"
            return 0
        fi
    done
    fail "keypad $1 did not lead to another screen"
}

# play_game: from the title, five stages to the final screen.
play_game() {
    settled "$E2E_TMP/title.png"
    keys 4
    local stack=""
    for stage in 1 2 3 4 5; do
        stack=$(stack_other_than "$stack")
        # Every digit: the eight that are not the first target miss.
        local struck=() d
        for d in 1 2 3 4 5 6 7 8 9; do [ "$d" = "${stack%% *}" ] || struck+=("$d"); done
        keys 0 "${struck[@]}" $stack          # typed during the count-down, taken after it
        stack=$(stack_other_than "$stack")
        # The announcer judges the score two seconds in: the rest of the
        # hits come after that, on both alike.
        commentary_changes 2
        keys $stack
        stack=$(stack_other_than "$stack")
        [ "$stage" = 1 ] && cp "$E2E_TMP/stack.png" "$shots/play.png"
        key_to_new_screen 0                  # at time-up: the results
        if [ "$stage" = 1 ]; then
            cp "$E2E_TMP/now.png" "$shots/results.png"
            key_to_new_screen 6
            cp "$E2E_TMP/now.png" "$shots/log.png"
            key_to_new_screen 0
        fi
        if [ "$stage" = 5 ]; then
            key_to_new_screen 4
            cp "$E2E_TMP/now.png" "$shots/final.png"
        else
            keys 4
        fi
    done
}

if [ -n "$x11_half" ]; then
    start_display
    start_game "$BINARY"
    play_game
    cp "$shots"/*.png "$x11_half"/
    exit 0
fi

mkdir "$E2E_TMP/x11"
bash "$0" --x11 "$1" "$2" "$E2E_TMP/x11" >"$E2E_TMP/x11.log" 2>&1 &
x11_pid=$!
# The X11 half ends with this one, whichever way this one ends.
trap '[ -z "$x11_pid" ] || kill "$x11_pid" 2>/dev/null || true; weston_cleanup' EXIT
start_display
start_weston
start_on_wayland "$BINARY"
wl_wait_change "$E2E_TMP/settle-a.png"
# Weston draws its pointer into the picture: moved out of every window's
# way, into the far corner (weston may miss a single move).
for _ in $(seq 50); do
    xdotool mousemove 700 20 mousemove 790 590
    wl_shot "$E2E_TMP/pointer.png"
    [ "$(convert "$E2E_TMP/pointer.png" -crop 10x10+790+590 -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)" != 0 ] && break
done
uses_plugin wayland || fail "the game did not run on Qt's Wayland platform"
play_game
wait "$x11_pid" || { x11_pid=""; cat "$E2E_TMP/x11.log" >&2; fail "the X11 half failed"; }
x11_pid=""

# differing NAME [GRID]: how many pixels of the two pictures NAME differ,
# leaving out the rectangles "left top right bottom" in $LEFT_OUT and, with
# GRID, the stack's digits (in the key grid, every pixel that is coloured
# in either picture, bar the red frame of the bottom row).
LEFT_OUT=""
differing() {
    paste -d' ' <(convert "$E2E_TMP/x11/$1" txt:- | tail -n +2) <(convert "$shots/$1" txt:- | tail -n +2) |
        awk -v out="$LEFT_OUT" -v grid="${2:-}" '
            function coloured(hex) {
                return hex != "#FF0000" && !(substr(hex, 2, 2) == substr(hex, 4, 2) && substr(hex, 4, 2) == substr(hex, 6, 2))
            }
            BEGIN { n = split(out, r, " ") }
            {
                split($1, p, "[,:]"); x = p[1]; y = p[2]
                a = ""; b = ""
                for (i = 2; i <= NF; ++i) if ($i ~ /^#[0-9A-F]{6}/) { if (a == "") a = substr($i, 1, 7); else b = substr($i, 1, 7) }
                for (i = 1; i + 3 <= n; i += 4)
                    if (x >= r[i] && y >= r[i + 1] && x <= r[i + 2] && y <= r[i + 3]) next
                if (grid != "" && x >= 40 && x <= 161 && y >= 16 && y <= 353 && (coloured(a) || coloured(b))) next
                if (a != b) ++differ
            }
            END { print differ + 0 }'
}

# The clock's marker and tick marks, and the commentary box.
LEFT_OUT="0 0 39 374 168 280 584 352"
stack=$(read_grid "$shots/play.png")
[[ "$stack" =~ ^[1-9]( [1-9]){5}$ ]] || fail "on Wayland the stack after the hits reads '$stack'"
[[ "$(read_grid "$E2E_TMP/x11/play.png")" =~ ^[1-9]( [1-9]){5}$ ]] || fail "under X11 the stack after the hits does not read"
n=$(differing play.png grid)
[ "$n" -eq 0 ] || fail "the play screen after the hits: $n pixels differ from X11"
LEFT_OUT=""
for name in results.png log.png final.png; do
    n=$(differing "$name")
    [ "$n" -eq 0 ] || fail "$name: $n pixels differ from X11"
done
echo "1 passed, 0 failed"
