#!/usr/bin/env bash
# The simulator left running: its real interactive loop (partivox-loop-bench)
# on the 1000-particle Coulomb scene with every step displayed, every rollout
# open and the conserved quantities recomputed at each frame, so that each
# frame draws 1000 discs and syncs and redraws every control of the panel.
# The resident size of the process is sampled from /proc every ten seconds;
# a leak in drawing, syncing or label rendering would grow with the frames.
# Needs an X server; makes a private one if none is set.
#
#   bench/gui_soak.sh [BIN_DIR] [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../build/bin}" && pwd)
seconds=${2:-600}
# shellcheck source=bench/loop_scene.sh
. "$here/loop_scene.sh"

kb() { awk -v k="$1:" '$1 == k { print $2 }' "/proc/$2/status" 2>/dev/null || true; }

"$here/../tests/with-display.sh" "$bin/partivox-loop-bench" scene.txt 1 "$seconds" --open > result.txt &
runner=$!
sleep 10
pid=$(pgrep -n -f "partivox-loop-bench scene.txt") || { echo "the loop did not start"; exit 1; }
first=$(kb VmRSS "$pid") last=$first
echo "after 10 s: resident ${first} kB"
samples=0
while kill -0 "$pid" 2>/dev/null; do
  rss=$(kb VmRSS "$pid"); hwm=$(kb VmHWM "$pid")
  [ -n "$rss" ] && last=$rss && peak=$hwm
  samples=$(( samples + 1 ))
  [ $(( samples % 30 )) -eq 0 ] && echo "after $(( 10 + samples * 10 )) s: resident ${last} kB"
  sleep 10
done
wait "$runner"
echo "$(cat result.txt)"
echo "resident at the start ${first} kB, at the end ${last} kB, peak ${peak} kB"
