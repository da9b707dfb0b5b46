#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Loads a generated 100 MB data file (2,500,000 rows x 5 numeric columns) and compares the time
# with `wc -l` on the same file, measured side by side; reports peak memory against the file
# size and the time to write the table back, and checks that the written file is identical.
#   bench/load_vs_wc.sh [build folder]
set -euo pipefail
BUILD=${1:-build}
PROBE="$BUILD/bench/probe_load"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
DATA="$WORK/big.kivs"

awk 'BEGIN { srand(20071215); for (r = 0; r < 2500000; r++) {
        line = "";
        for (c = 0; c < 5; c++) line = line (c ? "\t" : "") sprintf("%.4f", 10 + rand() * 89);
        printf "%s\r\n", line } }' > "$DATA"
SIZE=$(stat -c %s "$DATA")

now() { date +%s.%N; }
best_wc=999
best_load=999
for i in 1 2 3; do
    t0=$(now); wc -l "$DATA" > /dev/null; t1=$(now)
    best_wc=$(awk -v a="$t0" -v b="$t1" -v m="$best_wc" 'BEGIN { d = b - a; print (d < m ? d : m) }')
    out=$("$PROBE" "$DATA")
    load=$(echo "$out" | awk '/load_seconds/ { print $2 }')
    peak=$(echo "$out" | awk '/peak_kib/ { print $2 }')
    best_load=$(awk -v a="$load" -v b="$best_load" 'BEGIN { print (a < b ? a : b) }')
done
write=$("$PROBE" "$DATA" "$WORK/written.kivs" | awk '/write_seconds/ { print $2 }')
cmp -s "$DATA" "$WORK/written.kivs" && same=identical || same=DIFFERENT

awk -v s="$SIZE" -v w="$best_wc" -v l="$best_load" -v p="$peak" -v wr="$write" -v same="$same" 'BEGIN {
    printf "file            %.1f MB\n", s / 1e6
    printf "wc -l           %.3f s\n", w
    printf "load            %.3f s   (%.1f x wc -l; target <= 15)\n", l, l / w
    printf "peak memory     %.1f MB  (%.2f x file; target <= 2.5)\n", p * 1024 / 1e6, p * 1024 / s
    printf "write           %.3f s   (%.2f x load; target <= 3)\n", wr, wr / l
    printf "written file    %s to the original\n", same }'
