#!/bin/bash
# The quit question in a real X window on an English desktop: Qt's Japanese
# catalogue is loaded, so its standard buttons read OK / キャンセル. With
# QUENNEL_SHOTS set to a folder, the question's screenshot is left there
# as quit.png.
here=$(dirname "$0")
source "$here/lib.sh"
setup_game "$1" "$2"
private_settings   # settings in this run's own folder (XDG_CONFIG_HOME), never the account's
start_display
export LANG=C LC_ALL=C LANGUAGE=C
start_game "$BINARY"
title=$(current_window)

wait_focus
xdotool key Escape
wait_dialogs 1
# Qt maps the catalogue it loaded; on an English desktop nothing else would
# bring the Japanese one in.
grep -q 'qtbase_ja\.qm' "/proc/$GAME_PID/maps" || fail "qtbase_ja.qm is not loaded"
shot quit
if [ -n "${QUENNEL_SHOTS:-}" ]; then
    # The question over the title screen it was asked from.
    import -window root -crop "$(xwininfo -id "$title" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{printf "594x375+%d+%d", x, y}')" \
        "$QUENNEL_SHOTS/quit.png"
fi
# Cancel is the default: Return keeps the game on the title screen.
answer Return
wait_dialogs 0
kill -0 "$GAME_PID" 2>/dev/null || fail "Cancel ended the game"
[ "$(current_window)" = "$title" ] || fail "the title screen is gone"
echo "1 passed, 0 failed"
