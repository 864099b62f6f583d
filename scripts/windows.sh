#!/usr/bin/env bash
# The Windows part of CI: the cross build (preset windows), its test programs run
# once each under Wine, then its programs compared with the Linux build's
# (build/test, made by ./test.sh before). Prints how long each part took.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --windows
start=$SECONDS
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
built=$SECONDS
# A fresh Wine prefix takes a while to set up: once, before the tests start.
export WINEPREFIX="$PWD/build/windows/wine" WINEDEBUG=-all
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
"$wine" wineboot --init >/dev/null 2>&1 || true
ctest --preset windows -j "$(nproc)"
tested=$SECONDS
if [ -x build/test/tools/orlex-stats/orlex-stats ]; then
    ./scripts/compare-windows.sh build/test build/windows
fi
echo "Windows part: build $((built - start)) s, tests $((tested - built)) s," \
     "comparison $((SECONDS - tested)) s"
