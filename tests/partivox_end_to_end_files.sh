#!/usr/bin/env bash
# Drives the real partivox under X like a user through its settings files:
# "設定の保存" twice, a pair slot set by hand and saved, "設定の読込" of the
# defaults and of a prepared file (window size, discs, the pair editor), Q,
# and the two ways it refuses to start.
#
#   partivox_end_to_end_files.sh PARTIVOX SJIS_FONTGEN TEST_DATA_DIR
set -euo pipefail
partivox=$(realpath "$1") fontgen=$(realpath "$2") testdata=$(realpath "$3")
source "$(dirname "$0")/partivox_end_to_end_lib.sh"
prepared=$testdata/partivox-three-discs.txt

# The prepared file: a 640 x 480 window and three discs at rest, red of radius
# 10 at (120, 90), green of 15 at (320, 240), blue of 20 at (500, 400).
three_discs_shown() { discs_at "255 0 0:120:90:10" "0 255 0:320:240:15" "0 0 255:500:400:20"; }

# The bytes of an area of the control window once they have stopped changing
# (the same in three shots a seventh of a second apart) and, when given,
# differ from what the area showed before.
settled_area() {  # "x y w h" [bytes-before]
  local now previous= same=0
  for _ in $(seq 40); do
    shot "$control" "$work/control.rgb" || return 1
    # shellcheck disable=SC2086
    now=$(region "$shot_w" "$work/control.rgb" $1)
    if [ "$now" = "$previous" ] && [ "$now" != "${2-}" ]; then same=$((same + 1)); else same=0; fi
    [ "$same" = 2 ] && echo "$now" && return 0
    previous=$now
    sleep 0.15
  done
  return 1
}
# The control window shows these bytes in this area (soon: the caller polls).
shows() {  # "x y w h" bytes
  # shellcheck disable=SC2086
  shot "$control" "$work/control.rgb" && [ "$(region "$shot_w" "$work/control.rgb" $1)" = "$2" ]
}

start_partivox

# Open "二体間ポテンシャルの追加" and find the controls: the pair editor lies
# between its header and the next.
click "$control" 100 "${header_y[5]}"
eventually rollouts_are +++-+-+- || fail "the pair rollout did not open: $rollout_signs"
pair=("${header_bottom[5]}" "${header_top[6]}")
pair_area=(0 $(( pair[0] + 1 )) "$content_w" $(( pair[1] - pair[0] - 1 )))
# Column 250 crosses "ポテンシャルの番号" and the two list boxes, whose labels
# open them too; column 570 the four number fields.
locate pair_kind_label 250 sunken 2 "${pair[@]}"
locate pair_shape_label 250 sunken 3 "${pair[@]}"
pair_kind_label[0]=80 pair_shape_label[0]=80
pair_fields=()
for i in 1 2 3 4; do   # strength, a, b, c
  locate field 570 sunken "$i" "${pair[@]}"
  pair_fields+=("${field[*]}")
done
locate_file_controls
pair_defaults=$(settled_area "${pair_area[*]}") || fail "the pair editor did not settle"
shot "$control" "$work/control.rgb"
shows_0=$(region "$shot_w" "$work/control.rgb" "${number_box[@]}")

# ---- Two saves: data/0.txt, then data/1.txt, each number shown ----
click "$control" "${save_button[@]}"
wait_for_file "$work/data/0.txt" || fail "the first save wrote no data/0.txt"
sleep 0.2
[ "$(wc -l < "$work/data/0.txt")" = 207 ] || fail "data/0.txt has $(wc -l < "$work/data/0.txt") lines, not 207"
# Window size, particle count, and the six default colours in table order.
[ "$(sed -n '4p;5p;21p' "$work/data/0.txt" | tr '\n' ' ')" = "500 500 6 " ] ||
  fail "data/0.txt does not hold a 500 x 500 window with 6 particles"
colours_saved=$(for i in $(seq 0 5); do sed -n "$((22 + 11 * i + 6)),$((22 + 11 * i + 8))p" "$work/data/0.txt" | tr '\n' ' '; done)
[ "$colours_saved" = "1 0 0 1 1 0 0 1 0 0 1 1 0 0 1 1 0 1 " ] || fail "saved colours are $colours_saved"
poll 20 shows "${number_box[*]}" "$shows_0" || fail "ファイル番号 does not show 0 after the first save"

click "$control" "${save_button[@]}"
wait_for_file "$work/data/1.txt" || fail "the second save wrote no data/1.txt"
sleep 0.2
[ "$(wc -l < "$work/data/1.txt")" = 207 ] || fail "data/1.txt has $(wc -l < "$work/data/1.txt") lines, not 207"
shows_1=$(settled_area "${number_box[*]}" "$shows_0") || fail "ファイル番号 did not change with the second save"
set_number 1
poll 20 shows "${number_box[*]}" "$shows_1" || fail "ファイル番号 does not show 1 after the second save"

# ---- A pair slot set by hand is stored whole ----
pick_item "${pair_kind_label[@]}" 1    # "電荷に比例"
pick_item "${pair_shape_label[@]}" 4   # "モースポテンシャル"
values=(2.5 3 4 5)
for i in 0 1 2 3; do
  # shellcheck disable=SC2086
  type_into ${pair_fields[$i]} "${values[$i]}"
done
click "$control" "${empty_space[@]}"
pair_by_hand=$(settled_area "${pair_area[*]}" "$pair_defaults") ||
  fail "the pair editor looks the same after editing slot 0"
click "$control" "${save_button[@]}"
wait_for_file "$work/data/2.txt" || fail "the third save wrote no data/2.txt"
sleep 0.2
# Pair slot 0 of six particles follows 21 header, 66 particle and 60 external slot lines.
[ "$(sed -n '148,153p' "$work/data/2.txt" | tr '\n' ' ')" = "1 4 2.5 3 4 5 " ] ||
  fail "pair slot 0 saved as $(sed -n '148,153p' "$work/data/2.txt" | tr '\n' ' ')"

# ---- Loading the defaults shows slot 0 empty again ----
set_number 0
click "$control" "${load_button[@]}"
poll 20 shows "${pair_area[*]}" "$pair_defaults" || fail "loading data/0.txt left the pair editor as edited"

# ---- Loading the prepared file: window, discs, pair editor ----
cp "$prepared" "$work/data/7.txt"
set_number 7
click "$control" "${load_button[@]}"
eventually main_size_is 640 480 || fail "loading data/7.txt left the main window at $(geometry "$main")"
poll 5 three_discs_shown >/dev/null || three_discs_shown || fail "the loaded discs are not where the file puts them"
poll 20 shows "${pair_area[*]}" "$pair_by_hand" || fail "after loading data/7.txt the pair editor does not show its slot 0"

# The discs rest and nothing else moved: saving gives the file back.
click "$control" "${save_button[@]}"
wait_for_file "$work/data/3.txt" || fail "the save after loading wrote no data/3.txt"
sleep 0.2
cmp "$prepared" "$work/data/3.txt" || fail "saving the loaded file does not give it back"
key_in "$main" 300 300 Q
wait_exit
[ "$status" = 0 ] || fail "Q ended with status $status"

# ---- Refusals: one line each ----
# A missing file, a folder, and a named pipe nothing writes to (which must
# not keep the program waiting).
mkdir "$work/data/98.txt"
mkfifo "$work/data/97.txt"
for refused in data/99.txt data/98.txt data/97.txt; do
  status=0
  (cd "$work" && timeout 10 "$partivox" "$refused") > "$work/refused.out" 2>&1 || status=$?
  [ "$status" = 2 ] || fail "partivox $refused ended with status $status, not 2"
  [ "$(wc -l < "$work/refused.out")" = 1 ] && grep -q "$refused" "$work/refused.out" ||
    fail "partivox $refused printed: $(cat "$work/refused.out")"
done

status=0
(cd "$work" && env -u DISPLAY "$partivox") > "$work/nodisplay.out" 2>&1 || status=$?
[ "$status" != 0 ] || fail "partivox without a display ended with status 0"
[ "$(wc -l < "$work/nodisplay.out")" = 1 ] || fail "partivox without a display printed: $(cat "$work/nodisplay.out")"
echo "partivox settings files: ok"
