#!/bin/bash
# SPDX-License-Identifier: BSD-3-Clause
# The camera part of a load in instructions, counted by callgrind: loads of 10,000 and 1,000
# cameras, each less the load without cameras. Writes {"ratios": {row: ratio}} for bench_summary.
#
#   count_instructions.sh BENCH_DIR OUT.json
set -euo pipefail
bench_dir=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

count() {
    valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$work/out.$1" \
        "$bench_dir/bench_ratios" --count-load-instructions="$1" >/dev/null 2>&1
    awk '/^(summary|totals):/ { print $2; exit }' "$work/out.$1"
}

none=$(count 0)
small=$(count 1000)
large=$(count 10000)
ratio=$(awk -v n="$none" -v s="$small" -v l="$large" 'BEGIN { printf "%.4f", (l - n) / (s - n) }')
echo "camera part of a load in instructions: $((large - none)) / $((small - none)) = $ratio"
printf '{"ratios": {"camera part of load 10000 / 1000 (instructions)": %s}}\n' "$ratio" >"$out"
