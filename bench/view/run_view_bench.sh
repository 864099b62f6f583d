#!/usr/bin/env bash
# Frame time of the 3D view at 1280 x 720 under Xvfb with Mesa llvmpipe, on the
# busiest deck (most quads) of the large generated project:
#   - with all 20,000 persons standing on it (every start level moved there),
#     drawn the viewer's way (persons batched, deck quads in display lists);
#   - the same with one display-list call per person;
#   - the same with one call per person and one glBegin/glEnd per quad (the
#     plain way, for comparison);
#   - the same deck without persons;
#   - persons alone and with everyone's trails of the last 10 simulated seconds,
#     STEPS steps into the evacuation (target: 60 ms a frame with the trails);
#   - with and without persons again with a test pattern colour map on the floor
#     (--overlay; target: within 10 % of the same case without it).
# Target: 40 ms a frame or less with the 20,000 persons ("Paint() on screen":
# a synchronous repaint including Qt's composition into the window;
# "grabFramebuffer()": drawing into the view's framebuffer and reading it back).
#
#   bench/view/run_view_bench.sh [BUILD_DIR]     (default: build/bench)
#
# Environment: FRAMES (frames timed per case, default 40), LP_NUM_THREADS
# (llvmpipe threads, default 2), SIZE (default 1280x720), STEPS (default 240).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "${1:-$ROOT/build/bench}" 2>/dev/null && pwd) || {
    echo "run_view_bench.sh: build directory ${1:-$ROOT/build/bench} not found" >&2
    exit 1
}
FRAMES=${FRAMES:-40}
SIZE=${SIZE:-1280x720}
STEPS=${STEPS:-240}
export LP_NUM_THREADS=${LP_NUM_THREADS:-2}
export QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1

VIEW=$BUILD/tools/orlex-view/orlex-view
GEN=$BUILD/tools/orlex-gen/orlex-gen
if [ ! -x "$VIEW" ]; then
    echo "run_view_bench.sh: $VIEW is missing; build the target orlex-view first" >&2
    exit 1
fi

DATA=$ROOT/bench/data
FILE=$DATA/large.3dl
mkdir -p "$DATA"
if [ ! -s "$FILE" ]; then
    if [ -x "$GEN" ]; then
        echo "Generating $FILE (orlex-gen --profile large) ..." >&2
        "$GEN" --profile large -o "$FILE.tmp" && mv "$FILE.tmp" "$FILE"
    else
        # No generator built: one 1000 x 200 deck of rooms and corridors with
        # 20,000 persons standing still. Plain shell, deterministic.
        FILE=$DATA/view-fallback.3dl
        echo "Generating $FILE (orlex-gen not built) ..." >&2
        awk 'BEGIN {
            X = 1000; Y = 200; P = 20000
            print "<header>\nversion 1\npmax " P "\nxmax " X "\nymax " Y "\nzmax 1\nvmax 4\ntoff 0\n</header>"
            print "<deck>\nlevel 0\ncaption Deck 0\n(celldata)"
            for (r = 0; r < Y; ++r) {
                line = ""
                for (c = 0; c < X; ++c) {
                    if (r % 20 == 0 || c % 25 == 0) ch = ((r + c) % 7 == 0) ? "0" : "1"
                    else ch = ((r * 7 + c * 3) % 11 < 2) ? "3" : "0"
                    line = line ch
                }
                print line
            }
            print "</deck>\n<persons>\n<startpositions>"
            n = 0
            for (r = 1; r < Y && n < P; ++r)
                for (c = 1; c < X && n < P; ++c)
                    if (r % 20 != 0 && c % 25 != 0 && (r + 3 * c) % 7 == 0) {
                        print c, r, 0, (n % 8) + 1, n; ++n
                    }
            print "(movement)"
            for (i = 0; i < n; ++i) print "S"
            print "</persons>"
        }' > "$FILE"
    fi
fi

run() {
    xvfb-run -a -s "-screen 0 1600x1200x24" "$VIEW" --deck busiest --all-on-deck --size "$SIZE" \
        --frames "$FRAMES" "$@" "$FILE"
}

echo "## 3D view frame time ($SIZE, llvmpipe, LP_NUM_THREADS=$LP_NUM_THREADS, $(nproc) CPUs, $(date -u +%Y-%m-%d))"
echo
echo "File: $FILE"
for args in "" "--listed" "--listed --listed-quads" "--no-persons" "--steps $STEPS" \
    "--steps $STEPS --trails" "--steps $STEPS --step-each-frame" \
    "--steps $STEPS --trails --step-each-frame" "--overlay" "--no-persons --overlay"; do
    echo
    echo "### orlex-view ${args:-(persons batched)}"
    # shellcheck disable=SC2086
    run $args 2>&1 | grep -v -e XDG_RUNTIME_DIR -e '^$'
done
