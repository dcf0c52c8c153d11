#!/bin/sh
# Compares two builds of taluna_gui_bench: runs every benchmark function alone
# with -iterations 1, the two builds alternately, RUNS times each, and prints
# the median time of each build.
#   bench/compare_gui_bench.sh OLD_BENCH NEW_BENCH RUNS function...
# Keystroke benchmarks are run with 200 iterations, so that their time per
# key is below a millisecond's resolution.
set -eu
old=$1
new=$2
runs=$3
shift 3
export QT_QPA_PLATFORM=offscreen
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
for function in "$@"; do
    iterations=1
    case $function in type*) iterations=200 ;; esac
    : >/tmp/compare_gui_bench.old
    : >/tmp/compare_gui_bench.new
    i=0
    while [ $i -lt "$runs" ]; do
        for build in old new; do
            eval bench=\$$build
            "$bench" -iterations $iterations "$function" 2>/dev/null |
                awk '/msecs per iteration/ { gsub(",", "", $1); print $1 }' >>/tmp/compare_gui_bench.$build
        done
        i=$((i + 1))
    done
    printf '%-40s old %8s ms   new %8s ms   (runs: old %s, new %s)\n' "$function" \
        "$(median </tmp/compare_gui_bench.old)" "$(median </tmp/compare_gui_bench.new)" \
        "$(tr '\n' ' ' </tmp/compare_gui_bench.old)" "$(tr '\n' ' ' </tmp/compare_gui_bench.new)"
done
