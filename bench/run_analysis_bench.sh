#!/usr/bin/env bash
# Measures the evacuation analysis on the large generated file (bench_analysis) and
# orlex-stats on 500 runs of the sample case (--runs 500 --seed 1), against reading the
# same files alone (bench_stats). Prints Markdown.
#
#   bench/run_analysis_bench.sh [BUILD_DIR]      (default: build/bench)
#
# Build first:  cmake --preset bench &&
#               cmake --build --preset bench --target bench_analysis bench_stats orlex-gen orlex-stats
# Environment:  RUNS (timed runs of each analysis, best one reported; default 3)
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build/bench}" 2>/dev/null && pwd) || {
    echo "run_analysis_bench.sh: build directory ${1:-$ROOT/build/bench} not found" >&2
    exit 1
}
RUNS=${RUNS:-3}
GEN=$BUILD/tools/orlex-gen/orlex-gen
STATS=$BUILD/tools/orlex-stats/orlex-stats
BENCH=$BUILD/bench/bench_analysis
BENCH_STATS=$BUILD/bench/stats/bench_stats
for exe in "$GEN" "$STATS" "$BENCH" "$BENCH_STATS"; do
    [ -x "$exe" ] || { echo "run_analysis_bench.sh: $exe is missing" >&2; exit 1; }
done

FILE=$ROOT/bench/data/large.3dl
mkdir -p "$ROOT/bench/data"
if [ ! -s "$FILE" ]; then
    "$GEN" --profile large -o "$FILE.tmp"
    mv "$FILE.tmp" "$FILE"
fi

echo "### Analysis of $(basename "$FILE") ($(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg))"
echo
"$BENCH" "$FILE" "$RUNS"

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
"$GEN" --profile sample --runs 500 --seed 1 -o "$TMP/run%03d.3dl" 2>/dev/null
start=$(date +%s.%N)
status=0
"$STATS" --json "$TMP"/run*.3dl >"$TMP/stats.json" || status=$?
end=$(date +%s.%N)
echo
echo "### orlex-stats on 500 runs of the sample case"
echo
echo "$(du -sm "$TMP" | cut -f1) MB of files; exit status $status; wall time" \
     "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }') s (target <= 60 s)."
grep -o '"runs":{[^}]*}[^}]*}' "$TMP/stats.json" || true
echo
"$BENCH_STATS" "$TMP"/run*.3dl
