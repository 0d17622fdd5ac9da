#!/usr/bin/env bash
# The simulator's interactive loop beside the batch runner, on the same
# 1000-particle Coulomb scene: steps per second of partivox-batch, of the
# real loop at display intervals 10 and 100 (each next to a batch run made
# just before it, since the machine's load changes), the same at 10 with
# every rollout open and the conserved quantities computed at each frame,
# and the time of one frame of 1000 discs. Needs an X server; makes a
# private one if none is set. OMP_NUM_THREADS, if set, holds for both.
#
#   bench/interactive_loop.sh [BIN_DIR] [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../build/bin}" && pwd)
seconds=${2:-5}
# shellcheck source=bench/loop_scene.sh
. "$here/loop_scene.sh"

# Steps per second of the batch runner, run for about $seconds seconds.
batchRate() {
  local probe rate
  probe=$("$bin/partivox-batch" scene.txt out.txt 100 2>&1 | awk '/^steps per second/ {print $4}')
  rate=$("$bin/partivox-batch" scene.txt out.txt "$(awk -v r="$probe" -v s="$seconds" 'BEGIN {print int(r * s) + 1}')" 2>&1 |
         awk '/^steps per second/ {print $4}')
  echo "$rate"
}

loopRun() {
  "$here/../tests/with-display.sh" "$bin/partivox-loop-bench" scene.txt "$1" "$seconds" ${2:-}
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for run in 10 100 "10 --open"; do
  interval=${run%% *}
  batch=$(batchRate)
  line=$(loopRun $run)
  loop=$(echo "$line" | sed 's/.*: \([0-9.]*\) steps.*/\1/')
  frame=$(echo "$line" | awk '{print $(NF-1)}')
  awk -v i="$interval" -v o="${run#$interval}" -v b="$batch" -v l="$loop" -v f="$frame" 'BEGIN {
    printf "interval %3d%-7s: batch %7.1f steps/s, loop %7.1f steps/s = %5.1f %% of batch; frame of 1000 discs %.2f ms\n",
           i, o, b, l, 100 * l / b, f }'
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
