#!/usr/bin/env bash
# The deck cases of run_view_bench.sh for two builds, taken in turns in the same
# run so that both see the same load: the busiest deck of the large project at
# 1280 x 720 on llvmpipe, with all 20,000 persons standing on it and without
# persons. Each round runs every case once per build; the table gives, per case
# and build, the median over the rounds of each run's median frame time, wall
# and process CPU (all threads), for "Paint() on screen" and "grabFramebuffer()".
#
#   bench/view/run_deck_compare.sh BASE_BUILD_DIR [NEW_BUILD_DIR]   (default new: build/bench)
#
# BASE_BUILD_DIR is a bench build of the code to compare with, for example one
# made from a checkout of main:
#   git worktree add /tmp/orlex-base main && (cd /tmp/orlex-base && cmake --preset bench &&
#       cmake --build build/bench --target orlex-view)
#
# Environment: ROUNDS (default 5), FRAMES (frames timed per run, default 40),
# LP_NUM_THREADS (default 2), SIZE (default 1280x720).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
if [ $# -lt 1 ]; then
    echo "usage: $0 BASE_BUILD_DIR [NEW_BUILD_DIR]" >&2
    exit 1
fi
BASE=$(cd "$1" && pwd)
NEW=$(cd "${2:-$ROOT/build/bench}" && pwd)
ROUNDS=${ROUNDS:-5}
FRAMES=${FRAMES:-40}
SIZE=${SIZE:-1280x720}
export LP_NUM_THREADS=${LP_NUM_THREADS:-2}
export QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1
FILE=$ROOT/bench/data/large.3dl
if [ ! -s "$FILE" ]; then
    echo "run_deck_compare.sh: $FILE is missing (bench/view/run_view_bench.sh makes it)" >&2
    exit 1
fi
for build in "$BASE" "$NEW"; do
    if [ ! -x "$build/tools/orlex-view/orlex-view" ]; then
        echo "run_deck_compare.sh: $build/tools/orlex-view/orlex-view is missing" >&2
        exit 1
    fi
done

OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
echo "## Deck frame, base against new ($SIZE, llvmpipe, LP_NUM_THREADS=$LP_NUM_THREADS, $(nproc) CPUs, $(date -u '+%Y-%m-%d %H:%M') UTC)"
echo
echo "base: $BASE"
echo "new:  $NEW"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for round in $(seq "$ROUNDS"); do
    for case in persons no-persons; do
        for which in base new; do
            build=$BASE
            [ "$which" = new ] && build=$NEW
            args=()
            [ "$case" = no-persons ] && args=(--no-persons)
            xvfb-run -a -s "-screen 0 1600x1200x24" "$build/tools/orlex-view/orlex-view" \
                --deck busiest --all-on-deck --size "$SIZE" --frames "$FRAMES" "${args[@]}" \
                "$FILE" 2>/dev/null >"$OUT/$case.$which.$round" || true
        done
    done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| case | build | Paint() wall | Paint() CPU | grabFramebuffer() wall | grabFramebuffer() CPU |"
echo "|---|---|---:|---:|---:|---:|"
for case in persons no-persons; do
    for which in base new; do
        cat "$OUT/$case.$which".* | awk -v c="$case" -v w="$which" '
            function median(a, n,    i, j, t) {
                for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j)
                    if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
                return n == 0 ? 0 : (n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2)
            }
            /Paint\(\) on screen/ { pw[++np] = $6; pc[np] = $(NF - 1) }
            /grabFramebuffer\(\)/ { gw[++ng] = $4; gc[ng] = $(NF - 1) }
            END {
                printf "| %s | %s | %.2f ms | %.2f ms | %.2f ms | %.2f ms |\n", c, w,
                    median(pw, np), median(pc, np), median(gw, ng), median(gc, ng)
            }'
    done
done
