#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree a package
# is made of: every promised file, manual pages that render, valid menu
# entries, programs that answer --version and --help without a display, and
# the menu entries' commands started from / with an empty home folder, as a
# desktop starts them: each opens its window with the installed label font,
# and the simulator's user folder gets data/, textdata/ and the example scenes.
#
#   install_tree.sh BUILD_DIR VERSION
set -euo pipefail
build=$(realpath "$1") version=$2

root=$(mktemp -d)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$root"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$root/usr" >/dev/null
cd "$root/usr"

for file in share/partivox/sjis.fnt share/applications/partivox.desktop share/applications/tabulix.desktop \
            share/icons/hicolor/scalable/apps/partivox.svg share/icons/hicolor/scalable/apps/tabulix.svg \
            share/doc/partivox/README.md share/doc/partivox/LICENSE share/doc/partivox/copyright \
            share/doc/partivox/changelog.gz; do
  [ -s "$file" ] || fail "$file is not installed"
done
[ "$(head -c 6 share/partivox/sjis.fnt)" = FONTX2 ] || fail "share/partivox/sjis.fnt is no FONTX2 font"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' share/doc/partivox/copyright ||
  fail "copyright is not in Debian's machine-readable format"
grep -q 'unifont' share/doc/partivox/copyright || fail "copyright does not state the label font's licence"
ls share/partivox/examples | grep -Eq '^[0-9]+-.+\.txt$' || fail "no example scene NNN-name.txt"
for entry in partivox tabulix; do
  grep -q '<svg' "share/icons/hicolor/scalable/apps/$entry.svg" || fail "$entry.svg is no SVG image"
  desktop-file-validate "share/applications/$entry.desktop" | { ! grep -E ': (error|warning):'; } ||
    fail "$entry.desktop is not a valid menu entry"
done

for program in partivox tabulix partivox-batch partivox-plot; do
  [ -x "bin/$program" ] || fail "bin/$program is not installed"
  page="share/man/man1/$program.1.gz"
  [ -s "$page" ] || fail "$page is not installed"
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
  MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q "^NAME" || fail "$page does not render"
  zcat "$page" | grep -q "^\.TH .* \"partivox $version\"" || fail "$page is not of version $version"

  [ "$(env -u DISPLAY "bin/$program" --version)" = "$program $version" ] || fail "$program --version"
  env -u DISPLAY "bin/$program" --help | grep "^usage: $program" >/dev/null || fail "$program --help"
  status=0
  message=$(env -u DISPLAY "bin/$program" --no-such-option 2>&1 >/dev/null) || status=$?
  [ "$status" = 2 ] || fail "$program --no-such-option: exit status $status, not 2"
  [ "$(printf '%s\n' "$message" | wc -l)" = 1 ] || fail "$program --no-such-option: '$message' is not one line"
done

# Starts a menu entry's command from / with $home as the home folder, and
# waits for a window of the program's class; its standard error goes to
# $root/PROGRAM.err.
start_from_menu() {  # program home
  local command
  command=$(sed -n 's/^Exec=//p' "share/applications/$1.desktop")
  [ "${command%% *}" = "$1" ] || fail "$1.desktop starts '$command'"
  (cd / && HOME=$2 PATH="$root/usr/bin:$PATH" exec env -u XDG_DATA_HOME $command 2>"$root/$1.err") &
  pid=$!
  for _ in $(seq 100); do
    xdotool search --onlyvisible --class "$1" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  fail "$1 from the menu opened no window: $(cat "$root/$1.err")"
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=; }

home="$root/home"
mkdir "$home"
for program in partivox tabulix; do
  start_from_menu "$program" "$home"
  sleep 0.3   # the first labels are drawn
  stop
  ! grep -q 'label font' "$root/$program.err" || fail "$program from the menu: $(cat "$root/$program.err")"
done
folder="$home/.local/share/partivox"
[ -d "$folder/data" ] && [ -d "$folder/textdata" ] || fail "the menu entries did not make $folder with data/ and textdata/"
for scene in share/partivox/examples/*-*.txt; do
  number=$(basename "$scene" | sed 's/-.*//; s/^0*\(.\)/\1/')
  cmp -s "$scene" "$folder/data/$number.txt" || fail "$scene is not $folder/data/$number.txt"
done

# A home folder where nothing can be made: one line, and the window opens.
start_from_menu partivox /proc/self/no-such-home
stop
[ "$(wc -l < "$root/partivox.err")" = 1 ] || fail "an unusable home folder: $(cat "$root/partivox.err")"
