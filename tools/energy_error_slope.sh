#!/usr/bin/env bash
# The slope of log(energy error) against log(step size), by least squares,
# of partivox-energy-error's CSV on standard input.
awk -F, 'NR > 1 { x = log($1); y = log($2); n++; sx += x; sy += y; sxx += x * x; sxy += x * y }
         END { printf "%.2f\n", (n * sxy - sx * sy) / (n * sxx - sx * sx) }'
