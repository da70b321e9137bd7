#!/usr/bin/env bash
# A second measure of the ratio benchmarks that a busy machine cannot
# disturb: instructions executed per call under callgrind, for the plug-in
# and for its baseline, and their ratio. Each benchmark runs once, in its own
# valgrind process, without the toolkit.
#
# Usage: bench/instruction_ratios.sh [build directory] [benchmark regex]
# Instructions are not time (a branch, a load and an add count the same), so
# read these next to the timed ratios, not instead of them.
set -euo pipefail

build=${1:-build}
filter=${2:-'^(digital|serial|save|load|wait_with_message|result_data|forwarding)'}
bench="$build/bench/zavud_bench"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%-32s %12s %12s %7s\n' "instructions per call" "plug-in" "baseline" "ratio"
env -u DISPLAY "$bench" --iterations=20 --benchmark_list_tests --benchmark_filter="$filter" 2>/dev/null |
while read -r name; do
    short=${name%/iterations:20/manual_time}
    pattern=$(printf '%s' "$name" | sed 's/[][+.*?()|^$\\]/\\&/g')
    env -u DISPLAY valgrind --tool=callgrind --callgrind-out-file="$work/out" \
        "$bench" --benchmark_filter="^${pattern}\$" --benchmark_repetitions=1 \
        --iterations=20 --benchmark_out="$work/json" --benchmark_out_format=json \
        >/dev/null 2>&1
    calls=$(sed -n 's/.*"calls": *\([0-9.e+]*\).*/\1/p' "$work/json" | head -n1)
    # The timing loop is one function per timed operation: the first lambda
    # of a benchmark is the plug-in's call, the second its baseline.
    callgrind_annotate --inclusive=yes "$work/out" 2>/dev/null |
        awk -v name="$short" -v calls="$calls" '
            function count(line) { gsub(",", "", line); split(line, f, " "); return f[1] + 0 }
            /ns_per_call<.*\{lambda\(\)#1\}>/ { n = count($0); if (n > m) m = n }
            /ns_per_call<.*\{lambda\(\)#2\}>/ { n = count($0); if (n > b) b = n }
            END {
                if (m == 0 || b == 0 || calls == 0) { printf "%-32s not measured\n", name; exit }
                printf "%-32s %12.1f %12.1f %7.2f\n", name, m / calls, b / calls, m / b
            }'
done
