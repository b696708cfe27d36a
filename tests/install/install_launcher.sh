#!/bin/bash
# The desktop install: everything lands in the prefix, and the launcher
# gives the player a game folder of their own that a second start
# completes without ever overwriting the player's best scores.
#   install_launcher.sh <cmake> <build dir>
set -euo pipefail
cmake=$1
build=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$tmp/prefix with space"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

# The install lays out the program, the shipped folder, the menu entry.
[ -x "$prefix/lib/quennel/quennel" ] || fail "program not installed"
[ -x "$prefix/bin/quennel" ] || fail "launcher not installed"
for f in tavo.dat tavo_s.dat wav/hit.wav wav/allclear.wav; do
  [ -f "$prefix/share/quennel/game/$f" ] || fail "shipped game folder lacks $f"
done
[ ! -e "$prefix/share/quennel/game/tools" ] || fail "the folder's generator tools were installed"
desktop="$prefix/share/applications/quennel.desktop"
grep -qE '^Categories=(.*;)?Game;' "$desktop" || fail "menu entry lacks the category Game"
grep -qxF "Exec=\"$prefix/bin/quennel\"" "$desktop" || fail "menu entry does not start this prefix's launcher"
grep -qx 'Icon=quennel' "$desktop" || fail "menu entry lacks its icon"
for size in 16 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/quennel.png"
  [ -f "$png" ] || fail "no ${size}x${size} icon"
  # PNG signature, then the IHDR width and height (big-endian, bytes 16..23).
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is no PNG"
  dims=$(od -An -j16 -N8 -tu1 "$png" | tr -s ' ')
  [ "$dims" = " 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] \
    || fail "$png is not ${size}x${size}: $dims"
done

# First start: the player's folder is a full copy of the shipped one.
export HOME="$tmp/home"
unset XDG_DATA_HOME
mkdir -p "$HOME"
folder="$HOME/.local/share/quennel"

# Options that only print or export make nothing, not even the folder.
"$prefix/bin/quennel" --help | grep -q -- '--main-row-digits' || fail "--help printed no options"
"$prefix/bin/quennel" --version | grep -q '(quennel)' || fail "--version printed no version"
"$prefix/bin/quennel" --export-history - >/dev/null 2>&1 || true
[ ! -e "$HOME/.local" ] || fail "an option that only prints or exports made $(find "$HOME" -mindepth 1 | head -1)"

"$prefix/bin/quennel" --prepare-only
diff -r "$prefix/share/quennel/game" "$folder" >/dev/null || fail "first start did not copy the game folder"

# The player plays: new best scores, a lost sound file, a tavo.dat of their own.
printf '1234\r\n10\r\n20\r\n30\r\n40\r\n50\r\n999\r\n1\r\n2\r\n3\r\n4\r\n5\r\n' > "$folder/tavo_s.dat"
cp "$folder/tavo_s.dat" "$tmp/scores"
rm "$folder/wav/hit.wav"
echo "edited" >> "$folder/tavo.dat"
cp "$folder/tavo.dat" "$tmp/tavo"

# Second start: the missing file comes back; nothing of the player's changes.
"$prefix/bin/quennel" --prepare-only
cmp -s "$folder/tavo_s.dat" "$tmp/scores" || fail "second start overwrote the player's tavo_s.dat"
cmp -s "$folder/tavo.dat" "$tmp/tavo" || fail "second start overwrote the player's tavo.dat"
cmp -s "$folder/wav/hit.wav" "$prefix/share/quennel/game/wav/hit.wav" || fail "missing wav/hit.wav not restored"
[ -z "$(find "$folder" -name '*.part.*')" ] || fail "temporary copies left behind"

# Scores kept under another letter case count as the player's: no second table.
rm "$folder/tavo_s.dat"
cp "$tmp/scores" "$folder/TAVO_S.DAT"
"$prefix/bin/quennel" --prepare-only
[ ! -e "$folder/tavo_s.dat" ] || fail "a fresh tavo_s.dat was added beside TAVO_S.DAT"
cmp -s "$folder/TAVO_S.DAT" "$tmp/scores" || fail "TAVO_S.DAT changed"

# An absolute XDG_DATA_HOME is where the folder goes; started through a link too.
ln -s "$prefix/bin/quennel" "$tmp/quennel-link"
XDG_DATA_HOME="$tmp/xdg" "$tmp/quennel-link" --prepare-only
[ -f "$tmp/xdg/quennel/tavo_s.dat" ] || fail "XDG_DATA_HOME not used"

# A data folder that cannot be made gives a clear message naming it.
touch "$tmp/not-a-folder"
if out=$(XDG_DATA_HOME="$tmp/not-a-folder" "$prefix/bin/quennel" --prepare-only 2>&1); then
  fail "an unusable data folder went unnoticed"
fi
case "$out" in *"cannot create the game folder $tmp/not-a-folder/quennel"*) ;; *) fail "unclear message: $out" ;; esac
# Options reach the game; a path on the command line counts from where the
# player started the launcher, not from the game folder the game runs in.
cat > "$prefix/lib/quennel/quennel" <<'STUB'
#!/bin/sh
pwd
printf '%s\n' "$@"
STUB
out=$(cd "$tmp" && "$prefix/bin/quennel" --zoom 2 --export-history out.csv --game-dir=my\ games --export-history - "a b")
expected="$folder
--zoom
2
--export-history
$tmp/out.csv
--game-dir=$tmp/my games
--export-history
-
a b"
[ "$out" = "$expected" ] || fail "options not passed on as expected: $out"
echo "install and launcher: ok"
