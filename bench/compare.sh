#!/bin/bash
# The force benchmark of an earlier commit beside this working tree's, on the
# same machine in one run, alternating, so that the load of the moment falls
# on both alike; prints the median of each figure over the rounds and, in
# brackets, the median of the rounds' ratios.
#
#   bench/compare.sh [BASE [ROUNDS [SECONDS]]]
#
# BASE defaults to where this branch left main, ROUNDS to 5, SECONDS (each
# figure's measuring time, see force_bench.cpp) to 1.
set -euo pipefail
cd "$(dirname "$0")/.."
base=${1:-$(git merge-base HEAD main)}
rounds=${2:-5}
seconds=${3:-1}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git archive "$base" | tar -x -C "$work"
cp bench/force_bench.cpp "$work/bench/"   # one benchmark, two kernels
cmake -S "$work" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/build" --target partivox-bench >/dev/null
make --no-print-directory configure >/dev/null
cmake --build build --target partivox-bench >/dev/null

echo "base $(git rev-parse --short "$base") against the working tree of $(git rev-parse --short HEAD);" \
     "$rounds rounds of $seconds s per figure; $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)," \
     "$(nproc) cores"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for round in $(seq "$rounds"); do
    # Alternate which goes first, so neither always meets the machine fresher.
    if [ $((round % 2)) = 1 ]; then order="base new"; else order="new base"; fi
    for which in $order; do
        binary=build/bin/partivox-bench
        [ "$which" = base ] && binary=$work/build/bin/partivox-bench
        "$binary" --seconds "$seconds" | grep '^| [A-Z]' | sed "s/^/$which /" >>"$work/figures"
    done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "$(build/bin/partivox-bench --seconds 0 --only none | head -1 | cut -d, -f1), both"
echo
# Fields of a line "which | scene | N | ...": 4 quiet default, 5 quiet 1
# thread, 6 loaded default, 7 loaded 1 thread, 10 one thread per CPU second.
awk -F'|' '
    function medianOf(list,   n, values, t, i, j) {
        n = split(list, values, " ")
        for (i = 1; i <= n; ++i)
            for (j = i + 1; j <= n; ++j)
                if (values[j] + 0 < values[i] + 0) { t = values[i]; values[i] = values[j]; values[j] = t }
        return n % 2 ? values[(n + 1) / 2] : (values[n / 2] + values[n / 2 + 1]) / 2
    }
    {
        split($1, head, " "); which = head[1]
        key = $2 "|" $3
        if (!(key in seen)) { seen[key] = 1; order[++count] = key }
        for (c = 4; c <= 10; ++c) figures[which SUBSEP key, c] = figures[which SUBSEP key, c] " " $c
    }
    END {
        print "| scene | N | quiet default | quiet 1 thread | loaded default | loaded 1 thread | 1 thread per CPU second |"
        print "|---|---|---|---|---|---|---|"
        for (k = 1; k <= count; ++k) {
            key = order[k]; split(key, name, "|")
            line = "|" name[1] "|" name[2]
            split("4 5 6 7 10", columns, " ")
            for (c = 1; c <= 5; ++c) {
                baseList = figures["base" SUBSEP key, columns[c]]; newList = figures["new" SUBSEP key, columns[c]]
                # The ratio of each round, base and new moments apart, then
                # their median: steadier than the ratio of the medians.
                rounds = split(baseList, baseValues, " "); split(newList, newValues, " "); ratios = ""
                for (r = 1; r <= rounds; ++r) ratios = ratios " " (baseValues[r] > 0 ? newValues[r] / baseValues[r] : 0)
                b = medianOf(baseList); n = medianOf(newList)
                line = line sprintf(b < 100 ? "| %.1f → %.1f (%.2f×) " : "| %.0f → %.0f (%.2f×) ", b, n, medianOf(ratios))
            }
            print line "|"
        }
    }' "$work/figures"
