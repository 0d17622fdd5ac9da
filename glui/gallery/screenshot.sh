#!/usr/bin/env bash
# Photographs the gallery window in three states side by side, for looking at
# the toolkit's Japanese text: an edit field with its caret between two
# glyphs, a focused button with its dotted frame, and an open list box.
# Writes docs/glui-gallery.png.
#
#   glui/gallery/screenshot.sh [BUILD_DIR]    (default: build)
#
# Needs glui-gallery and sjis-fontgen in BUILD_DIR/bin; runs under a private X
# server through tests/with-display.sh.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "$repo" && realpath "${1:-build}/bin")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$bin/sjis-fontgen" sjis.fnt >/dev/null
"$repo/tests/with-display.sh" bash -c '
  bin=$0
  "$bin/glui-gallery" & gallery=$!
  window=""
  for _ in $(seq 50); do
    window=$(xdotool search --class glui-gallery 2>/dev/null | tail -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "gallery window not found" >&2; kill $gallery; exit 1; }
  sleep 0.5
  # Keys go to the window under the pointer: park it in the empty bottom-right corner.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --window "$window" $((WIDTH - 3)) $((HEIGHT - 3))
  keys() { xdotool key --delay 30 "$@"; sleep 0.3; }
  # Tab order: rollout, check box, four fields (the sixth stop is "メモ"),
  # two list boxes, then the button "粒子をランダムに配置".
  keys Tab Tab Tab Tab Tab Tab End Left
  import -window "$window" caret.png
  keys Escape Tab Tab Tab Tab Tab Tab Tab Tab Tab
  import -window "$window" button.png
  keys shift+Tab shift+Tab space Down Down
  import -window "$window" list.png
  kill $gallery
' "$bin"
convert caret.png button.png list.png -background white -splice 12x0 +append -chop 12x0 \
  "$repo/docs/glui-gallery.png"
