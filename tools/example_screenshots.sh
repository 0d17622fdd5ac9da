#!/usr/bin/env bash
# Takes the gallery's pictures, docs/examples/NNN.png: each scene runs in the
# real simulator for a few seconds and is shot again and again; the shots are
# laid over each other, faded, so that the paths show behind the last frame.
#
#   tests/with-display.sh tools/example_screenshots.sh BUILD_BIN [NNN...]
set -euo pipefail
bin=$(realpath "$1")
shift
root=$(realpath "$(dirname "$0")/..")
out=$root/docs/examples
mkdir -p "$out"
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
"$bin/sjis-fontgen" "$work/sjis.fnt" >/dev/null

main_window() {
  local w
  for w in $(xdotool search --onlyvisible --class partivox 2>/dev/null); do
    [ "$(xdotool getwindowname "$w")" = "メインウィンドウ" ] && echo "$w" && return 0
  done
  return 1
}

# The throws of scene 106 are shot from start to landing only; later the
# bounces would cover them.
shots_of() { case $1 in 106) echo 12 ;; *) echo 40 ;; esac; }

# A shot taken before the window's first frame, or before it took the
# scene's size, shows the grey of the screen in a corner.
drawn() {  # png
  [ "$(convert "$1" -gravity northeast -crop 1x1+0+0 -format '%[pixel:p{0,0}]' info:)" = "srgb(255,255,255)" ]
}

shoot() {  # scene-file png shots
  rm -f "$work"/shot-*.png
  (cd "$work" && exec "$bin/partivox" "$1") &
  pid=$!
  local main=
  for _ in $(seq 100); do main=$(main_window) && break; sleep 0.05; done
  [ -n "$main" ] || { echo "no main window for $1" >&2; exit 1; }
  xdotool windowmove "$main" 0 0
  for _ in $(seq 100); do import -window "$main" "$work/first.png" && drawn "$work/first.png" && break; done
  for i in $(seq -w 1 "$3"); do
    import -window "$main" "$work/shot-$i.png"
    sleep 0.1
  done
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
  convert "$work"/shot-*.png -evaluate-sequence min -fill white -colorize 65% "$work/trail.png"
  convert "$work/trail.png" "$(ls "$work"/shot-*.png | tail -1)" -compose darken -composite "$2"
}

for f in "$root"/examples/[0-9][0-9][0-9]-*.txt; do
  n=$(basename "$f"); n=${n%%-*}
  [ $# -eq 0 ] || [[ " $* " == *" $n "* ]] || continue
  shoot "$f" "$out/$n.png" "$(shots_of "$n")"
  echo "$out/$n.png"
done
