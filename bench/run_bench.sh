#!/usr/bin/env bash
# Measures the loader on the large generated file against the naive stdio reader,
# then runs the core micro-benchmarks. Prints Markdown tables.
#
#   bench/run_bench.sh [BUILD_DIR]      (default: build/bench)
#
# Build first:  cmake --preset bench && cmake --build --preset bench
# Environment:  RUNS (timed runs per program, best one reported; default 3)
#               STDIO_RUNS (runs of the slow naive reader; default RUNS)
#               SKIP_CORE (1: leave out the core micro-benchmarks)
#               BASE (a build folder of other code, e.g. main's, to compare the load
#               with in the same run: its orlex-info and this one's, taking turns, on
#               all cores and on one core (taskset -c 0); also bench_load, the load
#               alone, where BASE has it: copy bench/load into the other source tree)
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build/bench}" 2>/dev/null && pwd) || {
    echo "run_bench.sh: build directory ${1:-$ROOT/build/bench} not found;" \
         "run: cmake --preset bench && cmake --build --preset bench" >&2
    exit 1
}
RUNS=${RUNS:-3}
DATA=$ROOT/bench/data
FILE=$DATA/large.3dl

GEN=$BUILD/tools/orlex-gen/orlex-gen
INFO=$BUILD/tools/orlex-info/orlex-info
READER=$BUILD/bench/stdio_reader
CORE=$BUILD/bench/bench_core
for exe in "$GEN" "$INFO" "$READER" "$CORE"; do
    if [ ! -x "$exe" ]; then
        echo "run_bench.sh: $exe is missing; build the bench preset first" >&2
        exit 1
    fi
done

if [ ! -x /usr/bin/time ]; then
    echo "run_bench.sh: installing GNU time" >&2
    if [ "$(id -u)" = 0 ]; then apt-get install -y -qq time >/dev/null; else sudo apt-get install -y -qq time >/dev/null; fi
fi

mkdir -p "$DATA"
if [ ! -s "$FILE" ]; then
    echo "Generating $FILE (orlex-gen --profile large) ..." >&2
    /usr/bin/time -f "%e" -o "$DATA/gen.time" "$GEN" --profile large -o "$FILE.tmp"
    mv "$FILE.tmp" "$FILE"
    echo "  took $(cat "$DATA/gen.time") s" >&2
fi
BYTES=$(stat -L -c %s "$FILE")

# Warm the page cache so that both readers see the same conditions.
cat "$FILE" >/dev/null

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT


# measure_once NAME COMMAND...: one timed run; keeps the best wall time of NAME with
# the CPU time and peak RSS of that run.
declare -A WALL CPU RSS
measure_once() {
    local name=$1
    shift
    local start end
    start=$(date +%s%N)
    /usr/bin/time -v -o "$TMP/time.txt" "$@" >"$TMP/$name.out" 2>"$TMP/$name.err" || {
        echo "run_bench.sh: $name failed:" >&2
        cat "$TMP/$name.err" >&2
        exit 1
    }
    end=$(date +%s%N)
    local wall rss cpu
    cpu=$(awk -F': ' '/User time|System time/ { s += $2 } END { printf "%.3f", s }' "$TMP/time.txt")
    # Wall time to the millisecond (time -v gives hundredths only).
    wall=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", (b - a) / 1e9 }')
    rss=$(grep "Maximum resident set size" "$TMP/time.txt" | awk '{ print $NF }')
    if [ -z "${WALL[$name]:-}" ] || awk -v a="$wall" -v b="${WALL[$name]}" 'BEGIN { exit !(a < b) }'; then
        WALL[$name]=$wall
        RSS[$name]=$rss
        CPU[$name]=$cpu
    fi
}

# measure NAME COMMAND...: best wall time of RUNS runs and the peak RSS of that run.
measure() {
    for ((i = 1; i <= RUNS; i++)); do measure_once "$@"; done
}

measure orlex-info "$INFO" "$FILE"
for ((i = 1; i <= ${STDIO_RUNS:-$RUNS}; i++)); do measure_once stdio_reader "$READER" "$FILE"; done

STEPS=$(awk '$1 == "steps" { print $2 }' "$TMP/stdio_reader.out")
PERSONS=$(awk '$1 == "persons" { print $2 }' "$TMP/stdio_reader.out")
DECKS=$(awk '$1 == "decks" { print $2 }' "$TMP/stdio_reader.out")
if ! grep -q "$STEPS steps" "$TMP/orlex-info.out"; then
    echo "run_bench.sh: warning: orlex-info does not report $STEPS steps:" >&2
    cat "$TMP/orlex-info.out" >&2
fi

echo
echo "### Loading $(basename "$FILE")"
echo
echo "File: $(awk -v b="$BYTES" 'BEGIN { printf "%.1f MB", b / 1e6 }'), $PERSONS persons," \
     "$STEPS steps, $DECKS decks; $(nproc) cores; best of $RUNS runs, page cache warm;" \
     "MB = 10^6 bytes. The targets are judged on wall time; CPU time helps on a busy machine."
echo
echo "| program | wall time (s) | CPU time (s) | MB/s (wall) | MB/s (CPU) | peak RSS (MB) | bytes per step | targets (>= 300 MB/s, <= 1 B/step) |"
echo "|---|---:|---:|---:|---:|---:|---:|---|"
for name in orlex-info stdio_reader; do
    awk -v name="$name" -v wall="${WALL[$name]}" -v cpu="${CPU[$name]}" -v rss="${RSS[$name]}" -v bytes="$BYTES" \
        -v steps="$STEPS" 'BEGIN {
            mbs = wall > 0 ? bytes / 1e6 / wall : 0
            mbsCpu = cpu > 0 ? bytes / 1e6 / cpu : 0
            bps = steps > 0 ? rss * 1024 / steps : 0
            verdict = "-"
            if (name == "orlex-info")
                verdict = (mbs >= 300 ? "speed met" : "speed MISSED") ", " (bps <= 1 ? "memory met" : "memory MISSED")
            printf "| %s | %.3f | %.2f | %.0f | %.0f | %.0f | %.2f | %s |\n", name, wall, cpu, mbs, mbsCpu, rss * 1024 / 1e6, bps, verdict
        }'
done

if [ -n "${BASE:-}" ]; then
    BASE_INFO=$(cd "$BASE" 2>/dev/null && pwd)/tools/orlex-info/orlex-info
    if [ ! -x "$BASE_INFO" ]; then
        echo "run_bench.sh: $BASE_INFO is missing; build orlex-info in BASE first" >&2
        exit 1
    fi
    BASE_LOAD=$(cd "$BASE" && pwd)/bench/load/bench_load
    LOAD=$BUILD/bench/load/bench_load
    declare -A LWALL LCPU
    # load_once NAME COMMAND...: one run of bench_load; keeps the best load time of NAME.
    load_once() {
        local name=$1 wall cpu
        shift
        read -r wall cpu _ < <("$@")
        if [ -z "${LWALL[$name]:-}" ] || awk -v a="$wall" -v b="${LWALL[$name]}" 'BEGIN { exit !(a < b) }'; then
            LWALL[$name]=$wall
            LCPU[$name]=$cpu
        fi
    }
    # Turns, so that a change in the machine's load hits every program alike.
    for ((r = 1; r <= RUNS; r++)); do
        measure_once base "$BASE_INFO" "$FILE"
        measure_once this "$INFO" "$FILE"
        measure_once base-1 taskset -c 0 "$BASE_INFO" "$FILE"
        measure_once this-1 taskset -c 0 "$INFO" "$FILE"
        if [ -x "$BASE_LOAD" ] && [ -x "$LOAD" ]; then
            load_once base "$BASE_LOAD" "$FILE"
            load_once this "$LOAD" "$FILE"
            load_once base-1 taskset -c 0 "$BASE_LOAD" "$FILE"
            load_once this-1 taskset -c 0 "$LOAD" "$FILE"
        fi
    done
    echo
    echo "### Load against $BASE"
    echo
    echo "orlex-info of both builds, taking turns, best of $RUNS runs each; load average" \
         "$(cut -d' ' -f1-3 /proc/loadavg) after the runs."
    echo
    echo "| build | cores | wall time (s) | CPU time (s) | MB/s (wall) | peak RSS (MB) | speed against the base |"
    echo "|---|---:|---:|---:|---:|---:|---:|"
    for row in "base:all:base" "this:all:base" "base-1:1:base-1" "this-1:1:base-1"; do
        IFS=: read -r name cores ref <<<"$row"
        label=$([ "${name%-1}" = base ] && echo "base ($BASE)" || echo "this")
        [ "$cores" = all ] && cores=$(nproc)
        awk -v label="$label" -v cores="$cores" -v wall="${WALL[$name]}" -v cpu="${CPU[$name]}" \
            -v rss="${RSS[$name]}" -v ref="${WALL[$ref]}" -v bytes="$BYTES" 'BEGIN {
                printf "| %s | %s | %.3f | %.3f | %.0f | %.0f | %.2f x |\n", label, cores, wall, cpu,
                    bytes / 1e6 / wall, rss * 1024 / 1e6, ref / wall
            }'
    done
    if [ -n "${LWALL[base]:-}" ]; then
        echo
        echo "LoadFromFile alone (bench_load: one load in a fresh process), same runs:"
        echo
        echo "| build | cores | wall time (s) | CPU time (s) | MB/s (wall) | speed against the base |"
        echo "|---|---:|---:|---:|---:|---:|"
        for row in "base:all:base" "this:all:base" "base-1:1:base-1" "this-1:1:base-1"; do
            IFS=: read -r name cores ref <<<"$row"
            label=$([ "${name%-1}" = base ] && echo "base ($BASE)" || echo "this")
            [ "$cores" = all ] && cores=$(nproc)
            awk -v label="$label" -v cores="$cores" -v wall="${LWALL[$name]}" -v cpu="${LCPU[$name]}" \
                -v ref="${LWALL[$ref]}" -v bytes="$BYTES" 'BEGIN {
                    printf "| %s | %s | %.3f | %.3f | %.0f | %.2f x |\n", label, cores, wall, cpu,
                        bytes / 1e6 / wall, ref / wall
                }'
        done
    fi
fi

if [ "${SKIP_CORE:-0}" = 1 ]; then exit 0; fi
echo
echo "### Core micro-benchmarks"
echo
"$CORE" --benchmark_format=csv 2>/dev/null >"$TMP/core.csv"
echo "| benchmark | wall time per iteration | CPU time per iteration | iterations | items/s | note |"
echo "|---|---:|---:|---:|---:|---|"
# CSV: name,iterations,real_time,cpu_time,time_unit,bytes_per_second,items_per_second,label,...
awk -F, '$1 ~ /^"?BM_/ {
             gsub(/"/, "", $1)
             gsub(/"/, "", $8)
             printf "| %s | %.3f %s | %.3f %s | %s | %.4g | %s |\n", $1, $3, $5, $4, $5, $2, $7, $8
         }' "$TMP/core.csv"
