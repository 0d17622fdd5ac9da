#!/usr/bin/env bash
# Draws the README's figure: the largest energy error of the Kepler scene
# over one orbit against the step size, log-log, with the fitted slope.
#
#   tools/energy_error_figure.sh BUILD_BIN OUT.png
set -euo pipefail
bin=$1 out=$2
here=$(dirname "$0")
data=$(mktemp)
trap 'rm -f "$data"' EXIT
"$bin/partivox-energy-error" "$here/../examples/103-kepler-orbit.txt" 400 1.6 0.8 0.4 0.2 0.1 > "$data"
slope=$("$here/energy_error_slope.sh" < "$data")
gnuplot <<GNUPLOT
set terminal pngcairo size 800,500 enhanced font ",11"
set output "$out"
set datafile separator ","
set logscale xy
set xrange [0.08:2]
set format y "10^{%L}"
set fit quiet
set fit logfile "/dev/null"
set title "Runge-Kutta 4: largest energy error over one Kepler orbit (scene 103)"
set xlabel "step size h"
set ylabel "largest |E(t) - E(0)|"
set key top left
set grid
f(x) = c * x**4
c = 1e-9
fit log(f(x)) "$data" using 1:(log(\$2)) via c
plot "$data" using 1:2 with linespoints pointtype 7 pointsize 1.5 linewidth 2 title "measured, slope $slope", \
     f(x) with lines dashtype 2 title "c h^4"
GNUPLOT
