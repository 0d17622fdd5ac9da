#!/usr/bin/env bash
# partivox-plot: draws columns of a CSV written by partivox-batch --series or
# partivox --record against time, with gnuplot, as an 800 x 500 PNG.
#
#   partivox-plot FILE.csv OUT.png [COLUMN...]
#
# Without columns it draws the energies: the total and every energy term that
# is not zero throughout. OUT appears whole or not at all; a bad argument or
# a picture that cannot be made ends with one line and status 2.
set -euo pipefail

usage="usage: partivox-plot FILE.csv OUT.png [COLUMN...]"
fail() { echo "partivox-plot: $*" >&2; exit 2; }

case "${1:-}" in
  --help) printf '%s\n%s\n' "$usage" "Draws columns of a partivox CSV (default: the energies) against time as an 800 x 500 PNG."; exit 0 ;;
  --version) echo "partivox-plot @PROJECT_VERSION@"; exit 0 ;;
  --*) fail "unknown option '$1'" ;;
esac
[ $# -ge 2 ] || fail "$usage"
csv=$1 out=$2
shift 2
[ -f "$csv" ] && [ -r "$csv" ] || fail "cannot read '$csv'"
command -v gnuplot >/dev/null || fail "gnuplot is not installed (Debian package gnuplot-nox)"

header=$(head -n 1 "$csv")
IFS=, read -r -a names <<< "$header"
[ "${names[0]:-}" = step ] && [ "${names[1]:-}" = time ] || fail "'$csv' has no step,time header"

# Columns named in the header that hold a non-zero value in some row.
nonzero() {
  awk -F, -v want="$*" 'BEGIN { n = split(want, w, " ") }
    NR == 1 { for (i = 1; i <= NF; i++) at[$i] = i; next }
    { for (k = 1; k <= n; k++) if ($(at[w[k]]) + 0 != 0) used[w[k]] = 1 }
    END { for (k = 1; k <= n; k++) if (w[k] in used) printf "%s ", w[k] }' "$csv"
}

if [ $# -gt 0 ]; then
  columns=("$@")
  ylabel=value
else
  read -r -a columns <<< "$(nonzero kinetic_energy coulomb_energy electric_energy gravity_energy \
                                     other_external_energy other_pair_energy) total_energy"
  ylabel=energy
fi
for c in "${columns[@]}"; do
  [[ ",$header," == *",$c,"* ]] || fail "no column '$c' in '$csv' (it has: ${header//,/, })"
done
[ "$(wc -l < "$csv")" -ge 2 ] || fail "'$csv' has no rows"

# Drawn beside OUT under a temporary name and renamed over it when whole.
# A file or folder without any write permission bit says "do not write
# here", to the superuser too.
writable() { [ -w "$1" ] && [[ $(stat -L -c %A -- "$1") == *w* ]]; }
folder=$(dirname -- "$out")
[ -d "$out" ] && fail "'$out' is a directory"
[ -d "$folder" ] || fail "cannot write '$out': no folder '$folder'"
writable "$folder" && { [ ! -e "$out" ] || writable "$out"; } || fail "cannot write '$out': permission denied"
tmp=$(mktemp "$folder/.partivox-plot.XXXXXX") 2>/dev/null || fail "cannot write in '$folder'"
trap 'rm -f "$tmp"' EXIT

quote() { local s=${1//\\/\\\\}; printf '"%s"' "${s//\"/\\\"}"; }
plots=()
for c in "${columns[@]}"; do
  plots+=("$(quote "$csv") using \"time\":\"$c\" with lines linewidth 2 title \"$c\"")
done
joined=$(IFS=,; echo "${plots[*]}")

gnuplot 2>"$tmp.err" <<GNUPLOT || { rm -f "$tmp.err"; fail "gnuplot could not draw '$csv'"; }
set terminal pngcairo size 800,500 noenhanced font ",11"
set output $(quote "$tmp")
set datafile separator ","
set title $(quote "$(basename -- "$csv")")
set xlabel "time"
set ylabel "$ylabel"
set key outside right top
set grid
plot $joined
GNUPLOT
rm -f "$tmp.err"
chmod "$(printf '%o' $(( 0666 & ~$(umask) )))" "$tmp"
mv -f "$tmp" "$out" 2>/dev/null || fail "cannot write '$out'"
