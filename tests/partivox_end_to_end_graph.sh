#!/usr/bin/env bash
# Drives the graph view of the real partivox under X: showing the graph stops
# the particles and draws the default lines, a uniform field entered in the
# control window tilts the curve of the external sum, and hiding the graph
# lets the particles move again.
#
#   partivox_end_to_end_graph.sh PARTIVOX SJIS_FONTGEN [TEST_DATA_DIR, unused]
set -euo pipefail
partivox=$(realpath "$1") fontgen=$(realpath "$2")
source "$(dirname "$0")/partivox_end_to_end_lib.sh"

# "count minx miny maxx maxy" of one colour in a main-window shot, or nothing.
extent() {  # file "R G B"
  colours 500 "$1" | awk -v c="$2" '$1 " " $2 " " $3 == c { print $4, $5, $6, $7, $8 }'
}
# Each colour of the shot other than white, black, red and blue.
other_colours() {  # file
  colours 500 "$1" | awk '!($1 " " $2 " " $3 ~ /^(255 255 255|0 0 0|255 0 0|0 0 255)$/)'
}
# The range of y - x over the blue pixels: "min max".
blue_diagonal() {  # file
  od -An -v -tu1 -w3 "$1" | awk '$1 == 0 && $2 == 0 && $3 == 255 {
      x = (NR - 1) % 500; y = int((NR - 1) / 500); d = y - x
      if (n++ == 0 || d < lo) lo = d; if (n == 1 || d > hi) hi = d }
    END { print lo, hi }'
}
# Red, black and blue lines only: red along row $2 (the probe line), black
# only on row $3 (the axis); the blue curve is checked by the caller.
only_graph_lines() {  # file probe_row axis_row
  local red
  red=$(extent "$1" "255 0 0")
  [ "$red" = "500 0 $2 499 $2" ] || return 1
  [ -z "$(other_colours "$1")" ] || return 1
  read -r _ _ y0 _ y1 < <(extent "$1" "0 0 0") && [ "$y0 $y1" = "$3 $3" ]
}

default_lines() {
  shot "$main" "$work/graph.ppm" && only_graph_lines "$work/graph.ppm" 200 250 || return 1
  # The curve is flat on the axis and covers it but for the axis' last pixel.
  read -r n _ y0 _ y1 < <(extent "$work/graph.ppm" "0 0 255") && [ "$n" -ge 498 ] && [ "$y0 $y1" = "250 250" ]
}
particles_under_graph() {
  shot "$main" "$work/particles.ppm" && [ "$(other_colours "$work/particles.ppm" | wc -l)" -ge 2 ]
}
tilted_line() {
  shot "$main" "$work/tilted.ppm" && only_graph_lines "$work/tilted.ppm" 200 250 || return 1
  # U = -0.01 x plotted upwards with 500 / 5 pixels per unit: y = 250 + x,
  # from the origin line down to the bottom edge at x = 249.
  read -r n _ _ x1 _ < <(extent "$work/tilted.ppm" "0 0 255") && [ "$n" -ge 245 ] && [ "$x1" -le 250 ] &&
    [ "$(blue_diagonal "$work/tilted.ppm")" = "250 250" ]
}
graph_gone() { shot "$main" "$work/hidden.ppm" && [ -z "$(extent "$work/hidden.ppm" "0 0 0")" ]; }
moved_since() { shot "$main" "$work/now.ppm" && ! cmp -s "$1" "$work/now.ppm"; }

start_partivox
# "グラフの表示" (closed at start) opened below the open "系全体の設定変更".
click "$control" 300 "${header_y[6]}"
eventually rollouts_are +++-++-- || fail "\"グラフの表示\" did not open: $rollout_signs"
graph=("${header_bottom[6]}" "${header_top[7]}") system=("${header_bottom[3]}" "${header_top[4]}")
locate show_graph_box 17 sunken 1 "${graph[@]}"
locate show_particles_box 17 sunken 2 "${graph[@]}"
locate content_list 225 sunken 1 "${graph[@]}"
content_list_bottom=$located_bottom
locate electric_x_field 190 sunken 3 "${system[@]}"   # 右向きの重力, 下向きの重力, 右向きの電場

click "$control" "${show_graph_box[@]}"
eventually default_lines || fail "showing the graph did not draw red y = 200, black and blue y = 250 alone:
$(colours 500 "$work/graph.ppm")"

# The particles are frozen under the graph.
click "$control" "${show_particles_box[@]}"
eventually particles_under_graph || fail "\"粒子を表示する\" shows no particles under the graph"
sleep 0.5
! moved_since "$work/particles.ppm" || fail "the particles move while the graph is shown"
click "$control" "${show_particles_box[@]}"
eventually default_lines || fail "unchecking \"粒子を表示する\" left particles under the graph"

# A rightward field of 0.01 and the sum of the external potentials.
type_into "${electric_x_field[@]}" 0.01
xdotool key Return
click "$control" "${content_list[@]}"
# "外場のポテンシャルの和", just below the current "個々の外場のポテンシャル".
list_open() { control_shot && locate_item external_sum_item 1 115 "$content_list_bottom"; }
eventually list_open || fail "\"表示するもの\" opened no list"
click "$control" "${external_sum_item[@]}"
eventually tilted_line || fail "the external sum with a rightward field is not the line y = 250 + x:
$(colours 500 "$work/tilted.ppm")"

# Hiding the graph resumes the simulation.
click "$control" "${show_graph_box[@]}"
eventually graph_gone || fail "the axis is still drawn after the graph is hidden"
eventually moved_since "$work/hidden.ppm" || fail "the particles stay still after the graph is hidden"

key_in "$main" 250 250 q
wait_exit
[ "$status" = 0 ] || fail "q ended the program with status $status"
echo "partivox graph view: ok"
