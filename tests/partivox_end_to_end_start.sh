#!/usr/bin/env bash
# Drives the real partivox under X like a user: what a fresh start shows, the
# particles moving, pause and resume with P, keys typed in the control window,
# Esc, and starts on servers that have no other client. (The files and mouse
# scripts end theirs with Q and q.)
#
#   partivox_end_to_end_start.sh PARTIVOX SJIS_FONTGEN [TEST_DATA_DIR, unused]
set -euo pipefail
partivox=$(realpath "$1") fontgen=$(realpath "$2")
source "$(dirname "$0")/partivox_end_to_end_lib.sh"

# ---- What a fresh start shows ----
start_partivox
read -r _ _ w h < <(geometry "$main")
[ "$w x $h" = "500 x 500" ] || fail "main window is $w x $h, not 500 x 500"
read -r x y _ _ < <(geometry "$control")
[ "$x,$y" = "600,0" ] || fail "control window stands at ($x,$y), not (600,0)"

# Six discs of radius 10 in their six colours on white, nothing else. A disc
# may touch an edge or lie partly under another, but is never larger than 21
# pixels across; a whole one covers about 313 pixels.
six="255 0 0|255 255 0|0 255 0|0 255 255|0 0 255|255 0 255"
shot "$main" "$work/start.rgb"
colours "$shot_w" "$work/start.rgb" > "$work/start.colours"
awk -v six="$six" '
  BEGIN { n = split(six, want, "|"); for (i = 1; i <= n; i++) known[want[i]] = 1 }
  { c = $1 " " $2 " " $3 }
  !(c in known) { print "unexpected colour " c " (" $4 " pixels)"; bad = 1; next }
  { seen[c] = 1; wide = $7 - $5 + 1; high = $8 - $6 + 1
    if (wide > 21 || high > 21 || $4 > 330) { print "disc " c " is " wide " x " high ", " $4 " pixels"; bad = 1 }
    if (wide >= 20 && high >= 20 && $4 >= 295) whole++ }
  END { for (i = 1; i <= n; i++) if (!(want[i] in seen)) { print "no disc in " want[i]; bad = 1 }
        if (!whole) { print "no disc of radius 10 seen whole"; bad = 1 }
        exit bad }' "$work/start.colours" || fail "the start-up picture is wrong"

# start_partivox has seen "系全体の設定変更" and "シミュレーションの設定変更" open
# and the other six rollouts closed.
locate_file_controls

# ---- Motion, pause and resume ----
eventually moved_since "$work/start.rgb" || fail "the discs do not move"

# P acts in the main window even while a field of the control window is
# being typed into.
type_into "${number_field[@]}" 7
key_in "$main" 250 250 P
poll 10 at_rest || fail "the discs move after P"
key_in "$main" 250 250 p
eventually moved_since "$work/rest2.rgb" || fail "the discs stay still after P again"

# ---- Keys typed in the control window never quit or pause ----
type_into "${number_field[@]}" ""
xdotool key q Q Escape p P q Q Escape 2>/dev/null
shot "$main" "$work/after_keys.rgb"
eventually moved_since "$work/after_keys.rgb" || fail "a key typed in the control window paused the simulation"
still_running || fail "a key typed in the control window ended the program"

# Esc in the main window quits, a field being typed into or not.
type_into "${number_field[@]}" 5
key_in "$main" 250 250 Escape
wait_exit
[ "$status" = 0 ] || fail "Esc ended with status $status"

# ---- A server with no other client ----
# Without -noreset a server resets when its last client leaves, and a client
# connecting during the reset is refused; a kiosk, a remote session or a CI
# display is such a server. Started as its first client, the program must
# open both windows every time.

# The program has to be the first client: a tool connecting before it would
# reset the server on leaving. Its first socket is its display connection.
connected_or_gone() { ls -l "/proc/$pid/fd" 2>/dev/null | grep -q socket || ! still_running; }
up_or_gone() { find_windows || ! still_running; }
bare_start() {
  local fifo=$work/displayfd number xvfb opened=0
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb=$!
  read -r number <"$fifo"
  rm "$fifo"
  local -x DISPLAY=:$number
  (cd "$work" && exec "$partivox" 2>"$work/bare.err") &
  pid=$!
  eventually connected_or_gone && eventually up_or_gone && find_windows && opened=1
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
  pid=
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  [ "$opened" = 1 ]
}
for round in $(seq 10); do
  bare_start || fail "start $round on a server with no other client opened no windows: $(cat "$work/bare.err")"
done

echo "partivox start, pause and keys: ok"
