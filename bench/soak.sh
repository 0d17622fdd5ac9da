#!/usr/bin/env bash
# Soak: the soak scene (1000 particles, every force, kind and shape) run
# through partivox-batch for many steps, in chunks whose output is the next
# chunk's input (20 significant digits round-trip every double exactly, so the
# chunks add up to one long run). Resident size of the running batch process
# is sampled from /proc: at its start and at its end, and the peak. The state
# file and the step count survive an interruption; running again resumes.
#
#   bench/soak.sh BIN_DIR WORK_DIR [TOTAL_STEPS [CHUNK_STEPS]]
set -euo pipefail
bin=$1 work=$2 total=${3:-100000} chunk=${4:-5000}
mkdir -p "$work"
state=$work/state.txt done_file=$work/steps-done
[ -s "$state" ] || { "$bin/partivox-soak-scene" "$state"; echo 0 > "$done_file"; }
done_steps=$(cat "$done_file")

kb() { awk -v k="$1:" '$1 == k { print $2 }' "/proc/$2/status" 2>/dev/null || true; }

while [ "$done_steps" -lt "$total" ]; do
  steps=$(( total - done_steps < chunk ? total - done_steps : chunk ))
  started=$(date +%s)
  "$bin/partivox-batch" "$state" "$work/next.txt" "$steps" 2> "$work/batch.err" &
  pid=$!
  sleep 2
  first_rss=$(kb VmRSS $pid) last_rss=$first_rss peak=$(kb VmHWM $pid)
  while kill -0 $pid 2>/dev/null; do
    rss=$(kb VmRSS $pid); hwm=$(kb VmHWM $pid)
    [ -n "$rss" ] && last_rss=$rss; [ -n "$hwm" ] && peak=$hwm
    sleep 5
  done
  wait $pid || { echo "partivox-batch failed after $done_steps steps:"; cat "$work/batch.err"; exit 1; }
  mv "$work/next.txt" "$state"
  done_steps=$(( done_steps + steps )); echo "$done_steps" > "$done_file"
  nonfinite=$(grep -ciE 'nan|inf' "$state" || true)
  echo "$(date -u +%H:%M:%S) steps $done_steps/$total  chunk ${steps} in $(( $(date +%s) - started )) s" \
       " RSS start ${first_rss} kB, end ${last_rss} kB, peak ${peak} kB" \
       " | $(grep 'steps per second' "$work/batch.err") | non-finite values: $nonfinite"
done
