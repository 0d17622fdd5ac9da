#!/usr/bin/env bash
# Drives the real partivox under X like a user with the mouse, started with a
# settings file on the command line: a left drag moves a disc, a right drag
# gives one a velocity (also right after a value typed into the control
# window), a click with "クリックで粒子を選択" selects without moving, and
# "粒子の除去" empties the table (the simulation stops) before a load or
# "粒子の追加" refills it (the simulation resumes); q quits.
#
#   partivox_end_to_end_mouse.sh PARTIVOX SJIS_FONTGEN TEST_DATA_DIR
set -euo pipefail
partivox=$(realpath "$1") fontgen=$(realpath "$2") testdata=$(realpath "$3")
source "$(dirname "$0")/partivox_end_to_end_lib.sh"
prepared=$testdata/partivox-three-discs.txt

# The prepared file: a 640 x 480 window and three discs at rest, red of radius
# 10 at (120, 90), green of 15 at (320, 240), blue of 20 at (500, 400).
start_partivox "$prepared"
eventually main_size_is 640 480 || fail "partivox FILE left the main window at $(geometry "$main")"
poll 5 discs_at "255 0 0:120:90:10" "0 255 0:320:240:15" "0 0 255:500:400:20" >/dev/null ||
  discs_at "255 0 0:120:90:10" "0 255 0:320:240:15" "0 0 255:500:400:20" ||
  fail "partivox FILE does not show the file's discs"

# Open "粒子の設定変更" and close "系全体の設定変更": with both open the window
# would reach below the bottom of a 1024-row screen, out of the pointer's reach.
click "$control" 100 "${header_y[2]}"
eventually rollouts_are ++--+++- || fail "the particle rollout did not open: $rollout_signs"
click "$control" 100 "${header_y[3]}"
eventually rollouts_are ++-++++- || fail "the system rollout did not close: $rollout_signs"
particle=("${header_bottom[2]}" "${header_top[3]}")
locate pick_box 17 sunken 1 "${particle[@]}"        # "クリックで粒子を選択"
# The last three buttons of the rollout in column 443: "粒子の追加",
# "ランダムな色の粒子の追加", "粒子の除去".
locate add_button 443 raised -3 "${particle[@]}"
locate remove_button 443 raised -1 "${particle[@]}"
# Column 228 crosses the three fields of "シミュレーションの設定変更", the last
# rollout.
locate drag_speed_field 228 sunken 3 "${header_bottom[7]}"   # "右ドラッグで与える速度"
locate_file_controls

load() {  # number
  set_number "$1"
  click "$control" "${load_button[@]}"
  eventually main_size_is 640 480 || fail "loading data/$1.txt left the main window at $(geometry "$main")"
}
save() {  # number
  click "$control" "${save_button[@]}"
  wait_for_file "$work/data/$1.txt" || fail "no data/$1.txt written"
  sleep 0.2
}
particle() {  # file index: its x, y, vx, vy on one line
  sed -n "$((22 + 11 * $2)),$((25 + 11 * $2))p" "$1" | tr '\n' ' '
}

# ---- Drags ----
drag 1 "$main" 120 90 300 150
key_in "$main" 560 20 P
drag 3 "$main" 320 240 420 190
# A value typed and left by pressing in the main window is in effect for that press.
type_into "${drag_speed_field[@]}" 0.02
drag 3 "$main" 500 400 450 450
poll 5 discs_at "255 0 0:300:150:10" "0 255 0:320:240:15" "0 0 255:500:400:20" >/dev/null ||
  discs_at "255 0 0:300:150:10" "0 255 0:320:240:15" "0 0 255:500:400:20" ||
  fail "after the drags the discs are not where they should be"
save 0
[ "$(sed -n 3p "$work/data/0.txt")" = 0.019999999552965164185 ] ||
  fail "右ドラッグで与える速度 is $(sed -n 3p "$work/data/0.txt") after typing 0.02 and pressing in the main window"
[ "$(particle "$work/data/0.txt" 0)" = "300 150 0 0 " ] || fail "left drag: red is at $(particle "$work/data/0.txt" 0)"
# 100 and -50 pixels times the float 0.01, the position left alone.
[ "$(particle "$work/data/0.txt" 1)" = "320 240 0.99999997764825820923 -0.49999998882412910461 " ] ||
  fail "right drag: green is at $(particle "$work/data/0.txt" 1)"
# -50 and 50 pixels times the float 0.02 typed just before.
[ "$(particle "$work/data/0.txt" 2)" = "500 400 -0.99999997764825820923 0.99999997764825820923 " ] ||
  fail "right drag after typing: blue is at $(particle "$work/data/0.txt" 2)"

# ---- A click with "クリックで粒子を選択" selects green without moving it ----
click "$control" "${pick_box[@]}"
drag 1 "$main" 320 240 200 400
sleep 0.2
discs_at "255 0 0:300:150:10" "0 255 0:320:240:15" "0 0 255:500:400:20" ||
  fail "a click with クリックで粒子を選択 moved a disc"
click "$control" "${remove_button[@]}"
save 1
[ "$(wc -l < "$work/data/1.txt")" = 163 ] || fail "after removing one particle data/1.txt has $(wc -l < "$work/data/1.txt") lines"
[ "$(particle "$work/data/1.txt" 0)$(particle "$work/data/1.txt" 1)" = \
  "300 150 0 0 500 400 -0.99999997764825820923 0.99999997764825820923 " ] ||
  fail "粒子の除去 after selecting green by click left $(particle "$work/data/1.txt" 0)/ $(particle "$work/data/1.txt" 1)"

# ---- Emptying the table stops the simulation, adding resumes it ----
key_in "$main" 560 20 p
# Left of the control window, which covers the rest of the main window.
no_discs() { shot "$main" "$work/empty.rgb" && [ -z "$(colours "$shot_w" "$work/empty.rgb" | awk '$5 < 600')" ]; }
black_disc() { shot "$main" "$work/added.rgb" && colours "$shot_w" "$work/added.rgb" | grep -q '^0 0 0 '; }
remove_all() {
  for _ in 1 2 3; do click "$control" "${remove_button[@]}"; done
  poll 10 no_discs || fail "discs left after removing them all"
}
remove_all
# Loading a scene into the emptied table resumes the simulation, as adding
# the first particle does: its red disc, given a velocity, moves off.
sed '24s/.*/1/' "$prepared" > "$work/data/6.txt"
load 6
sleep 0.3
shot "$main" "$work/loaded.rgb"
eventually moved_since "$work/loaded.rgb" || fail "a scene loaded into the emptied table stood still"
remove_all
click "$control" "${add_button[@]}"
poll 10 black_disc || fail "粒子の追加 drew no black disc"
eventually moved_since "$work/added.rgb" || fail "adding a particle to the empty table did not resume the simulation"

key_in "$main" 560 20 q
wait_exit
[ "$status" = 0 ] || fail "q ended with status $status"
echo "partivox mouse and particles: ok"
