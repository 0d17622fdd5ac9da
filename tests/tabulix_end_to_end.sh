#!/usr/bin/env bash
# Drives the real tabulix under X like a user: types a file number, presses
# "変換", checks the annotated file byte for byte, presses "変換" for a number
# with no settings file, and quits with "終了"; then converts again under a
# file size limit (ulimit -f), which must fail like a full disk.
#
#   tabulix_end_to_end.sh TABULIX SJIS_FONTGEN TEST_DATA_DIR
set -euo pipefail
tabulix=$(realpath "$1") fontgen=$(realpath "$2") testdata=$(realpath "$3")

work=$(mktemp -d)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/data" "$work/textdata"
cp "$testdata/tabulix-settings.txt" "$work/data/3.txt"
"$fontgen" "$work/sjis.fnt" >/dev/null

# The toolkit names each window's class after the program and gives the
# window manager the title in UTF-8.
find_window() {
  xdotool search --onlyvisible --class tabulix 2>/dev/null | head -n 1 || true
}

start_tabulix() {  # file-size-limit-in-blocks
  (cd "$work" && ulimit -f "$1" && exec "$tabulix") 2> "$work/stderr.txt" &
  pid=$!
  window=
  for _ in $(seq 100); do
    window=$(find_window)
    [ -n "$window" ] && break
    sleep 0.05
  done
  [ -n "$window" ] || fail "no tabulix window"
  [ "$(xdotool getwindowname "$window")" = "データ変換" ] || fail "window title is not データ変換"
  xdotool windowfocus "$window"
}

click() {  # x y in window pixels
  xdotool mousemove --window "$window" "$1" "$2"
  xdotool click 1
}
wait_for_file() {
  for _ in $(seq 100); do [ -s "$1" ] && return 0; sleep 0.05; done
  return 1
}

# Layout: the number field at the top (rows 6 to 27), then "変換" (31 to 54),
# then "終了" (58 to 81); clicks go to their middle rows.
number_field=(150 16) convert_button=(105 42) quit_button=(105 69)

convert() {  # number
  click "${number_field[@]}"
  xdotool key End BackSpace
  xdotool type "$1"
  click "${convert_button[@]}"
}

start_tabulix unlimited
convert 3
wait_for_file "$work/textdata/3.txt" || fail "textdata/3.txt was not written"
sleep 0.2
iconv -f UTF-8 -t CP932 "$testdata/tabulix-expected.utf8.txt" > "$work/expected.txt"
cmp "$work/expected.txt" "$work/textdata/3.txt" || fail "textdata/3.txt differs from the expected bytes"

convert 5
sleep 0.5
[ ! -e "$work/textdata/5.txt" ] || fail "a conversion without settings file created textdata/5.txt"
kill -0 "$pid" 2>/dev/null || fail "tabulix died"

click "${quit_button[@]}"
status=0
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
wait "$pid" || status=$?
pid=
[ "$status" = 0 ] || fail ""終了" ended with status $status"

# A limit below the annotated file's size ended tabulix halfway through the
# write, leaving textdata/3.txt.XXXXXX beside the earlier file.
start_tabulix 1
convert 3
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "tabulix ended at the file size limit"
cmp "$work/expected.txt" "$work/textdata/3.txt" || fail "the file size limit changed textdata/3.txt"
[ "$(ls "$work/textdata")" = 3.txt ] || fail "the file size limit left $(ls "$work/textdata")"
[ "$(wc -l < "$work/stderr.txt")" = 1 ] && grep -q "File too large" "$work/stderr.txt" ||
  fail "at the file size limit tabulix printed: $(cat "$work/stderr.txt")"
echo "tabulix end to end: ok"
