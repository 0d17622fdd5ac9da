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
# size in $shot_w and $shot_h. Only the rows on the screen are captured: a
# control window with many rollouts open may reach below its bottom edge.
shot() {  # window file
  read -r _ _ shot_w _ < <(geometry "$1")
  import -window "$1" -depth 8 "rgb:$2" || return 1
  shot_h=$(( $(stat -c %s "$2") / 3 / shot_w ))
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

# ---- Finding controls in a shot of the control window ----
# The rows of the controls follow from the toolkit's heights and from which
# rollouts are open, so the scripts do not hold them: they name a column (x)
# that crosses the controls they want, and the rows are read from the bevels
# in a shot.

# Shoots the control window into $work/control.rgb, which the functions
# below read, its width into $control_w and the width of its controls into
# $content_w: a window taller than the screen has a scroll bar at its right
# edge, parted from the controls by a shadow line from top to bottom.
control_shot() {
  shot "$control" "$work/control.rgb" && control_w=$shot_w || return 1
  content_w=$control_w
  [ -z "$(columns $(( control_w - 12 )) | tr -d d)" ] && content_w=$(( control_w - 12 ))
  return 0
}
# Columns of the last control shot, one line each, one letter a pixel from
# the top: W white, g the face grey, d the shadow grey, l the light grey of a
# sunken box's inner edge, K black, ? any other colour.
columns() {  # x...
  local x crops=()
  for x; do crops+=("(" -clone 0 -crop "1x100000+$x+0" +repage ")"); done
  convert -size "${control_w}x$(( $(stat -c %s "$work/control.rgb") / 3 / control_w ))" -depth 8 \
          "rgb:$work/control.rgb" "${crops[@]}" -delete 0 +append rgb:- |
    od -An -v -tu1 -w$(( $# * 3 )) | awk -v n=$# '
    BEGIN { letter["255 255 255"] = "W"; letter["200 200 200"] = "g"; letter["128 128 128"] = "d"
            letter["191 191 191"] = "l"; letter["0 0 0"] = "K" }
    { for (i = 1; i <= n; i++) { c = $(3 * i - 2) " " $(3 * i - 1) " " $(3 * i)
                                 s[i] = s[i] ((c in letter) ? letter[c] : "?") } }
    END { for (i = 1; i <= n; i++) print s[i] }'
}
# The bevelled boxes a column of letters crosses, top to bottom, as
# "kind top bottom": "raised" for buttons and rollout headers (white top edge,
# grey face, shadow and black bottom edges), "sunken" for edit fields, list
# boxes and check boxes (shadow and black top edges, a white inside, a white
# bottom edge). A white line just under a shadow line is a panel's etched
# frame, not the top of a button.
BOX_SCAN='
  function boxes(s,   at, rest, r, rl, k, kl, found) {
    at = 1; found = ""
    while (at <= length(s)) {
      rest = substr(s, at)
      r = match(rest, /W[gK]+dK/); rl = RLENGTH
      k = match(rest, /dK[^dgl]*l?W/); kl = RLENGTH
      if (!r && !k) break
      if (r && (!k || r < k)) {
        if (at + r > 2 && substr(s, at + r - 2, 1) == "d") { at += r; continue }
        found = found "raised " (at + r - 2) " " (at + r + rl - 3) "\n"; at += r + rl - 1
      } else {
        found = found "sunken " (at + k - 2) " " (at + k + kl - 3) "\n"; at += k + kl - 1
      }
    }
    return found
  }'
boxes() {  # x
  columns "$1" | awk "$BOX_SCAN"' { printf "%s", boxes($0) }'
}
# "top bottom" of the n-th box of a kind crossing column x of the last
# control shot whose top lies between rows from and to (n < 0 counts from
# the last one up).
nth_box() {  # x kind n [from [to]]
  boxes "$1" | awk -v kind="$2" -v n="$3" -v from="${4:--1}" -v to="${5:-100000}" '
    $1 == kind && $2 > from && $2 < to { top[++m] = $2; bottom[m] = $3 }
    END { i = n < 0 ? m + 1 + n : n; if (i < 1 || i > m) exit 1; print top[i], bottom[i] }'
}
# Sets the array named $1 to where to click that box, "x y" at its middle
# row, and $located_top and $located_bottom to its top and bottom rows; or
# fails.
locate() {  # name x kind n [from [to]]
  local -n where=$1
  read -r located_top located_bottom < <(nth_box "${@:2}") ||
    fail "no $3 box number $4 in column $2 of the control window"
  where=("$2" $(( (located_top + located_bottom) / 2 )))
}
# Sets the array named $1 to where to click the item n places below the
# current one in the open drop-down list under a list box whose bottom row
# is given. The current item is the first band of the highlight colour in
# column x (a column of the list's margin, left of the texts) under the list
# box; every item is as high as it.
locate_item() {  # name n x list-box-bottom
  local -n item=$1
  local top high
  read -r top high < <(columns "$3" | awk -v below="$4" '
    { if (match(substr($0, below + 2), /\?+/)) print below + RSTART, RLENGTH; else exit 1 }') || return 1
  item=("$3" $(( top + $2 * high + high / 2 )))
}

# The rollout headers are the only raised boxes that span the window: each
# is found at both ends of its row, left of its title and right of its sign.
# Sets header_top, header_bottom and header_y (the middle row, where to
# click) from the last control shot, and rollout_signs to their signs top to
# bottom: "+" for a closed rollout, "-" for an open one. A plus is as high as
# it is wide, a minus two rows high: the sign is told by the number of rows
# it blackens in the columns left of the header's right edge.
read_rollouts() {
  local top bottom sign
  header_top=() header_bottom=() header_y=() rollout_signs=
  # shellcheck disable=SC2046
  while read -r top bottom sign; do
    header_top+=("$top") header_bottom+=("$bottom") header_y+=($(( (top + bottom) / 2 )))
    rollout_signs+=$sign
  done < <(columns 12 $(( content_w - 14 )) $(seq $(( content_w - 40 )) $(( content_w - 15 ))) | awk "$BOX_SCAN"'
    NR == 1 { n = split(boxes($0), left, "\n") }
    NR == 2 { right = boxes($0) }
    NR > 2 { sign[NR] = $0 }
    END { for (i = 1; i < n; i++) {
            if (left[i] !~ /^raised/ || index(right, left[i] "\n") == 0) continue
            split(left[i], b, " "); high = 0
            for (y = b[2] + 3; y <= b[3] - 3; y++)
              for (c in sign) if (substr(sign[c], y + 1, 1) == "K") { high++; break }
            print b[2], b[3], (high > 4 ? "+" : "-") } }')
}
# The rollouts show these signs (and their headers are where header_y says).
rollouts_are() {  # signs
  control_shot && read_rollouts && [ "$rollout_signs" = "$1" ]
}

# The controls under the rollouts: "ファイル番号", the lowest edit field (and
# number_box, the inside of its bevel), then "設定の保存" and "設定の読込",
# the first buttons below it; right of them the window is empty.
locate_file_controls() {
  locate number_field 180 sunken -1
  number_box=(112 $(( located_top + 2 )) 140 $(( located_bottom - located_top - 3 )))
  locate save_button 310 raised 1 "${number_field[1]}"
  locate load_button 310 raised 2 "${number_field[1]}"
  empty_space=(450 "${save_button[1]}")
}

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
  # Only "系全体の設定変更" and "シミュレーションの設定変更" are open.
  eventually rollouts_are +++-+++- || fail "rollouts open at start: $rollout_signs, want +++-+++-"
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

# "ファイル番号" set, committed by a click on empty space (as found by
# locate_file_controls).
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
