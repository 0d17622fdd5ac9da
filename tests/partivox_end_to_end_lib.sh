# Shared by the partivox end-to-end scripts (sourced, not run): starts the
# real program in a private working folder on the current X display, finds
# its two windows, drives them through XTEST and reads their pixels.
#
# The sourcing script sets $partivox and $fontgen (absolute paths) first.

work=$(mktemp -d)
pid=
# KEEP_WORK=1 keeps the working folder and its screenshots for a look.
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  if [ -n "${KEEP_WORK:-}" ]; then echo "kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/data" "$work/textdata"
"$fontgen" "$work/sjis.fnt" >/dev/null

# Runs a command until it succeeds, at most the given number of times, a
# twentieth of a second apart; "eventually" allows about five seconds.
poll() {  # tries command...
  local tries=$1
  shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.05; done
  return 1
}
eventually() { poll 100 "$@"; }

# The window of the program's class whose title is $1.
window_titled() {
  local w
  for w in $(xdotool search --onlyvisible --class partivox 2>/dev/null); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && echo "$w" && return 0
  done
  return 1
}
find_windows() {
  main=$(window_titled "メインウィンドウ") && control=$(window_titled "コントロールウィンドウ")
}

# Window geometry as "X Y W H" (position on the screen, size).
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                           /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

# Screenshot of a window as raw 8-bit RGB bytes, row after row, with its
# size in $shot_w and $shot_h.
shot() {  # window file
  read -r _ _ shot_w shot_h < <(geometry "$1")
  import -window "$1" -depth 8 "rgb:$2"
}

# One line per colour other than white in a raw screenshot of width $1:
# "R G B count minx miny maxx maxy".
colours() {  # width file
  od -An -v -tu1 -w3 "$2" | { grep -nv '^ *255 *255 *255$' || true; } | awk -F '[: ]+' -v w="$1" '
    { k = $2 " " $3 " " $4; x = ($1 - 1) % w; y = int(($1 - 1) / w)
      if (!(k in n)) { n[k] = 0; x0[k] = x; y0[k] = y; x1[k] = x; y1[k] = y }
      n[k]++
      if (x < x0[k]) x0[k] = x; if (x > x1[k]) x1[k] = x
      if (y < y0[k]) y0[k] = y; if (y > y1[k]) y1[k] = y }
    END { for (k in n) print k, n[k], x0[k], y0[k], x1[k], y1[k] }'
}

# "R G B" of one pixel of a raw screenshot of width $1.
pixel() {  # width file x y
  od -An -v -tu1 -j $(( ($4 * $1 + $3) * 3 )) -N 3 "$2" | awk '{print $1, $2, $3}'
}

# The bytes of a rectangle of a raw screenshot of width $1, in hexadecimal,
# for comparing regions.
region() {  # width file x y w h
  dd if="$2" iflag=skip_bytes,count_bytes skip=$(( $4 * $1 * 3 )) count=$(( $6 * $1 * 3 )) status=none |
    od -An -v -tx1 -w$(( $1 * 3 )) | cut -c $(( $3 * 9 + 1 ))-$(( ($3 + $5) * 9 ))
}

# Checks that the main window shows each disc "R G B:x:y:radius" centred on
# (x, y), to a pixel, with that radius; prints what differs.
discs_at() {
  shot "$main" "$work/discs.rgb"
  colours "$shot_w" "$work/discs.rgb" | awk -v discs="$*" '
    BEGIN { n = split(discs, d, " "); for (i = 1; i <= n; i += 3) {
              split(d[i + 2], p, ":"); c = d[i] " " d[i + 1] " " p[1]; want[c] = p[2] " " p[3] " " p[4] } }
    function off(a, b) { return a - b > 1 || b - a > 1 }
    { c = $1 " " $2 " " $3 }
    c in want { split(want[c], p, " "); seen[c] = 1
      if (off($5, p[1] - p[3]) || off($7, p[1] + p[3]) || off($6, p[2] - p[3]) || off($8, p[2] + p[3])) {
        print "disc " c " covers " $5 "," $6 " to " $7 "," $8 ", not " want[c]; bad = 1 } }
    END { for (c in want) if (!(c in seen)) { print "no disc in " c; bad = 1 }
          exit bad }'
}
# Two screenshots of the main window a third of a second apart are the same.
at_rest() {
  shot "$main" "$work/rest1.rgb" && sleep 0.3 && shot "$main" "$work/rest2.rgb" &&
    cmp -s "$work/rest1.rgb" "$work/rest2.rgb"
}
moved_since() { shot "$main" "$work/now.rgb" && ! cmp -s "$1" "$work/now.rgb"; }
main_size_is() { [ "$(geometry "$main" | cut -d' ' -f3,4)" = "$1 $2" ]; }

# Where things are in the control window as it opens ("系全体の設定変更" and
# "シミュレーションの設定変更" open), in window pixels: the eight rollout headers
# top to bottom with the column of their "+"/"-" sign, and the controls below.
rollout_header_y=(17 44 71 98 357 384 411 438)
rollout_sign_x=603
file_number_field=(180 571)

# Starts partivox in the working folder with the given arguments and waits
# until both windows are up and have drawn their first frames. Without a
# window manager the main window lands at (-1,-1), one row and one column off
# the screen; it is moved fully onto it, below the corner where small windows
# of other tests may open meanwhile, so every pixel can be read.
start_partivox() {
  (cd "$work" && exec "$partivox" "$@") &
  pid=$!
  eventually find_windows || fail "the two partivox windows did not appear"
  xdotool windowmove "$main" 0 100
  eventually main_drawn || fail "the main window drew no white frame"
  eventually rollouts_as_at_start ||
    fail "rollouts open at start: $(rollout_signs "$work/control.rgb"), want +++-+++-"
}
# Only "系全体の設定変更" and "シミュレーションの設定変更" are open: an open
# rollout shows "-" at the right end of its header, a closed one "+".
rollout_signs() {  # file: one sign per rollout header, top to bottom
  local y
  for y in "${rollout_header_y[@]}"; do
    if [ "$(pixel "$shot_w" "$1" "$rollout_sign_x" $(( y - 3 )))" = "0 0 0" ]; then echo -n +; else echo -n -; fi
  done
}
rollouts_as_at_start() {
  shot "$control" "$work/control.rgb" && [ "$(rollout_signs "$work/control.rgb")" = "+++-+++-" ]
}
# A drawn frame is white wherever no disc lies and has no black pixel (the
# discs at start are coloured); before it the window shows black or the
# server's black and white background. Half a row tells them apart (a main
# window wider than 600 pixels lies partly under the control window).
main_drawn() {
  [ "$(geometry "$main" | cut -d' ' -f1,2)" = "0 100" ] && shot "$main" "$work/first.rgb" &&
    ! dd if="$work/first.rgb" iflag=skip_bytes,count_bytes skip=$(( shot_h / 2 * shot_w * 3 )) \
         count=$(( shot_w / 2 * 3 )) status=none | od -An -v -tu1 -w3 | grep -q '^ *0 *0 *0$'
}

click() {  # window x y [button]
  xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"
}
# Press at one point, move there in two steps, release.
drag() {  # button window x0 y0 x1 y1
  xdotool mousemove --window "$2" "$3" "$4" mousedown "$1" \
          mousemove --window "$2" $(( ($3 + $5) / 2 )) $(( ($4 + $6) / 2 )) \
          mousemove --window "$2" "$5" "$6" mouseup "$1"
}
# Key presses go to the window under the pointer (no window manager).
key_in() {  # window x y key...
  local w=$1 x=$2 y=$3
  shift 3
  xdotool mousemove --window "$w" "$x" "$y" key "$@" 2>/dev/null
}
# Replaces the text of an edit field of the control window, leaving it focused.
type_into() {  # x y text
  xdotool mousemove --window "$control" "$1" "$2" click 1 key ctrl+a BackSpace 2>/dev/null
  [ -z "$3" ] || xdotool type "$3" 2>/dev/null
}

# "ファイル番号" set, committed by a click on empty space ($number_field and
# $empty_space are where these are in the script's layout).
set_number() {  # number
  type_into "${number_field[@]}" "$1"
  click "$control" "${empty_space[@]}"
}
# Chooses an item of a list box by keyboard.
pick_item() {  # label-x label-y items-down-from-the-current-one
  click "$control" "$1" "$2"
  # shellcheck disable=SC2046
  xdotool key $(yes Down | head -n "$3") Return 2>/dev/null
}
still_running() { kill -0 "$pid" 2>/dev/null; }
# Waits (at most five seconds) for the program to end; its status goes to $status.
wait_exit() {
  status=running
  eventually bash -c "! kill -0 $pid 2>/dev/null" || return 0
  status=0
  wait "$pid" || status=$?
  pid=
}
wait_for_file() { eventually test -s "$1"; }
