#!/usr/bin/env bash
# Builds the test build (Debug, ASan + UBSan, warnings as errors) and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/check-format.sh
cmake --preset test >/dev/null
cmake --build --preset test -j "$(nproc)"
export QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1600x1200x24" ctest --preset test -j "$(nproc)"
fi
exec ctest --preset test -j "$(nproc)"
