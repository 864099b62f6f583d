#!/usr/bin/env bash
# Builds the release build and starts the viewer: ./run.sh [FILE]
# Without FILE it opens samples/ship.3dl, or samples/example.3dl when that is missing.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
file="${1:-}"
if [ -z "$file" ]; then
    if [ -f samples/ship.3dl ]; then file=samples/ship.3dl; else file=samples/example.3dl; fi
fi
viewer=build/release/src/mainwindow/orlex-viewer
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No DISPLAY is set: starting the viewer under xvfb-run (nothing will be visible)."
    exec xvfb-run -a -s "-screen 0 1600x1200x24" "$viewer" "$file"
fi
exec "$viewer" "$file"
