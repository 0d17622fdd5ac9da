#!/usr/bin/env bash
# partivox-plot on a real series: the default picture and chosen columns as
# 800 x 500 PNGs, and refusals that leave OUT as it was.
#
#   partivox_plot_test.sh PARTIVOX_PLOT PARTIVOX_BATCH EXAMPLES_DIR
set -euo pipefail
plot=$1 batch=$2 examples=$3
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$batch" "$examples/103-kepler-orbit.txt" "$work/out.txt" 2000 --series "$work/s.csv" --every 20 2>/dev/null
"$plot" "$work/s.csv" "$work/energies.png" || fail "default plot"
"$plot" "$work/s.csv" "$work/momenta.png" momentum_x momentum_y || fail "chosen columns"
for png in energies momenta; do
  [ "$(identify -format '%m %w %h' "$work/$png.png")" = "PNG 800 500" ] || fail "$png.png is not an 800 x 500 PNG"
done
cmp -s "$work/energies.png" "$work/momenta.png" && fail "the chosen columns drew the default picture"

echo keep > "$work/kept.png"
mkdir "$work/readonly" && chmod 555 "$work/readonly"
refused() {  # mention args...
  local mention=$1 status=0
  shift
  "$plot" "$@" 2> "$work/err" || status=$?
  [ "$status" = 2 ] || fail "$* ended with status $status"
  [ "$(wc -l < "$work/err")" = 1 ] && grep -q "^partivox-plot: .*$mention" "$work/err" || fail "$*: $(cat "$work/err")"
}
refused "no column 'energy'" "$work/s.csv" "$work/kept.png" energy
refused "cannot read" "$work/none.csv" "$work/kept.png"
refused "no step,time header" "$work/out.txt" "$work/kept.png"
refused usage "$work/s.csv"
[ "$(cat "$work/kept.png")" = keep ] || fail "a refused plot changed OUT"
refused "cannot write" "$work/s.csv" "$work/readonly/p.png"
refused "no folder" "$work/s.csv" "$work/missing/p.png"
cp "$work/kept.png" "$work/readonly.png" && chmod 444 "$work/readonly.png"
refused "cannot write" "$work/s.csv" "$work/readonly.png"
[ "$(cat "$work/readonly.png")" = keep ] || fail "a read-only OUT was replaced"
[ -z "$(ls -A "$work/readonly")" ] || fail "a refused plot left a file behind"
echo ok
