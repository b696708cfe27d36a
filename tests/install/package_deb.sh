#!/bin/bash
# The Debian package holds the whole installed game, with the dependencies
# the library scan finds plus the font, Qt's translations and the SQLite
# driver, valid menu and software-centre entries, all six icon sizes and the
# manual page, passes lintian without errors, and its launcher works.
#   package_deb.sh <cpack> <build dir> <version>
set -euo pipefail
cpack=$1
build=$2
version=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in dpkg-deb lintian desktop-file-validate appstreamcli man; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run tools/install-deps test"
done

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 \
  || { cat "$tmp/cpack.log" >&2; fail "cpack -G DEB failed"; }
deb="$tmp/out/quennel_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$tmp/out")"

# Control fields: a game, with what the library scan found and what it cannot.
[ "$(dpkg-deb -f "$deb" Package)" = quennel ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section is not games"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in fonts-ipafont-mincho qt6-translations-l10n libqt6sql6-sqlite libqt6widgets6 libsdl2-2.0-0 libc6; do
  [[ ", $depends," == *", $dep"[\ ,]* ]] || fail "Depends lacks $dep: $depends"
done

root="$tmp/root"
dpkg-deb -x "$deb" "$root"
usr="$root/usr"
[ -x "$usr/games/quennel" ] || fail "launcher not in /usr/games"
[ -x "$usr/lib/quennel/quennel" ] || fail "program not in /usr/lib/quennel"
[ "$(head -c 4 "$usr/lib/quennel/quennel" | od -An -tx1 | tr -d ' \n')" = 7f454c46 ] || fail "program is not an ELF file"
for f in tavo.dat tavo_s.dat chara/s1_0.bmp chara/s5_2.bmp wav/hit.wav wav/allclear.wav; do
  [ -f "$usr/share/quennel/game/$f" ] || fail "shipped game folder lacks $f"
done
[ -z "$(find "$usr/share/quennel/game" -name tools -o -name 'README*')" ] || fail "generator tools or README shipped"
# Nothing outside /usr, and nothing under /usr but the game's own places.
[ "$(ls "$root")" = usr ] || fail "files outside /usr: $(ls "$root")"
extra=$(cd "$usr" && find . -type f | grep -v -E '^\./(games/quennel|lib/quennel/quennel|share/quennel/game/.*|share/applications/quennel\.desktop|share/metainfo/io\.github\.quennel\.quennel\.metainfo\.xml|share/icons/hicolor/[0-9]+x[0-9]+/apps/quennel\.png|share/man/man6/quennel\.6\.gz|share/doc/quennel/(copyright|changelog\.gz))$' || true)
[ -z "$extra" ] || fail "unexpected files: $extra"

# Menu entry: valid, starts the installed launcher, offers the keypad-less way.
desktop="$usr/share/applications/quennel.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the menu entry"
grep -qx 'Exec="/usr/games/quennel"' "$desktop" || fail "menu entry does not start /usr/games/quennel"
grep -qx 'Exec="/usr/games/quennel" --main-row-digits' "$desktop" || fail "no action for keyboards without a keypad"
appstreamcli validate --no-net "$usr/share/metainfo/io.github.quennel.quennel.metainfo.xml" >"$tmp/as.log" 2>&1 \
  || { cat "$tmp/as.log" >&2; fail "appstreamcli rejects the metainfo file"; }
grep -q "<release version=\"$version\"" "$usr/share/metainfo/io.github.quennel.quennel.metainfo.xml" \
  || fail "metainfo does not name release $version"

# Icons at every size, each really that size.
for size in 16 32 48 64 128 256; do
  png="$usr/share/icons/hicolor/${size}x${size}/apps/quennel.png"
  [ -f "$png" ] || fail "no ${size}x${size} icon"
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is no PNG"
  dims=$(od -An -j16 -N8 -tu1 "$png" | tr -s ' ')
  [ "$dims" = " 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] \
    || fail "$png is not ${size}x${size}: $dims"
done

# The manual page renders without a groff warning and documents the options.
page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$usr/share/man/man6/quennel.6.gz" 2>"$tmp/man.err") \
  || fail "man cannot render the page"
[ ! -s "$tmp/man.err" ] || { cat "$tmp/man.err" >&2; fail "groff warns about the manual page"; }
for option in --help --version --game-dir --main-row-digits --keypad-only --zoom --export-history; do
  grep -q -- "$option" <<<"$page" || fail "manual page lacks $option"
done

lintian --tag-display-limit 0 "$deb" >"$tmp/lintian.log" 2>&1 || true
if grep -q '^E: ' "$tmp/lintian.log"; then
  cat "$tmp/lintian.log" >&2
  fail "lintian reports errors"
fi

# The unpacked launcher prepares a player's folder from the unpacked game.
export HOME="$tmp/home"
unset XDG_DATA_HOME
mkdir -p "$HOME"
"$usr/games/quennel" --prepare-only
diff -r "$usr/share/quennel/game" "$HOME/.local/share/quennel" >/dev/null \
  || fail "the launcher did not copy the game folder"
echo "package: ok ($(basename "$deb"))"
