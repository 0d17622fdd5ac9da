#!/usr/bin/env bash
# Drives the real partivox with --record and a ready scene: the scene's
# window, a row per displayed frame while it runs, none while paused, and a
# file that cannot be written refused before any window opens.
#
#   partivox_end_to_end_record.sh PARTIVOX SJIS_FONTGEN TEST_DATA_DIR
set -euo pipefail
partivox=$(realpath "$1") fontgen=$(realpath "$2") examples=$(realpath "$3/../../examples")
source "$(dirname "$0")/partivox_end_to_end_lib.sh"

rows() { tail -n +2 "$work/r.csv" | wc -l; }
rows_at_least() { [ "$(rows)" -ge "$1" ]; }

start_partivox --record r.csv
eventually rows_at_least 5 || fail "fewer than 5 rows recorded: $(rows)"
key_in "$main" 250 250 p
sleep 0.2
paused_rows=$(rows)
sleep 0.5
[ "$(rows)" = "$paused_rows" ] || fail "rows were written while paused"

# Read only once paused: a row being written may show half of itself.
head -1 "$work/r.csv" | grep -qx 'step,time,momentum_x,.*,total_energy' || fail "header: $(head -1 "$work/r.csv")"
# A frame is ten steps of 0.1 at start; the six discs have unit masses.
awk -F, 'NR > 1 && (NF != 18 || $1 != (NR - 2) * 10 || $12 <= 0) { print "row " NR ": " $0; bad = 1 }
         END { exit bad }' "$work/r.csv" || fail "rows are not one per ten steps"
key_in "$main" 250 250 q
wait_exit
[ "$status" = 0 ] || fail "q ended with status $status"

mkdir "$work/readonly" && chmod 555 "$work/readonly"
status=0
(cd "$work" && exec "$partivox" --record readonly/r.csv) 2> "$work/err" || status=$?
[ "$status" = 2 ] || fail "an unwritable recording started with status $status"
[ "$(wc -l < "$work/err")" = 1 ] && grep -q "cannot record to 'readonly/r.csv'" "$work/err" ||
  fail "refusal said: $(cat "$work/err")"
echo ok
