#!/usr/bin/env bash
# Photographs the gallery window with its first list box open, for looking at
# the toolkit's Japanese text: writes docs/glui-gallery.png.
# Needs build/bin/glui-gallery and build/bin/sjis-fontgen; runs under a
# private X server through tests/with-display.sh.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$repo/build/bin/sjis-fontgen" sjis.fnt >/dev/null
exec "$repo/tests/with-display.sh" bash -c '
  "$0/build/bin/glui-gallery" & gallery=$!
  window=""
  for _ in $(seq 50); do
    window=$(xdotool search --class glui-gallery 2>/dev/null | tail -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "gallery window not found" >&2; kill $gallery; exit 1; }
  sleep 0.5
  # The list box "横の境界条件": its box sits right of the label, second row.
  xdotool mousemove --window "$window" 470 66 click 1
  sleep 0.3
  xdotool mousemove --window "$window" 470 134
  sleep 0.3
  import -window "$window" "$0/docs/glui-gallery.png"
  kill $gallery
' "$repo"
