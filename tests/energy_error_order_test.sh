#!/usr/bin/env bash
# The Runge-Kutta step is of fourth order: over one Kepler orbit the largest
# energy error falls as the step size to a power between 3.5 and 4.5 (a
# wrong stage weight or a stage taken at the wrong point leaves 2 or less).
#
#   energy_error_order_test.sh PARTIVOX_ENERGY_ERROR EXAMPLES_DIR TOOLS_DIR
set -euo pipefail
slope=$("$1" "$2/103-kepler-orbit.txt" 400 1.6 0.8 0.4 0.2 0.1 | "$3/energy_error_slope.sh")
echo "slope $slope"
awk -v s="$slope" 'BEGIN { exit !(s >= 3.5 && s <= 4.5) }'
