#!/usr/bin/env bash
# Fails when any C++ source under src, tools, tests, bench, fuzz or packaging is not clang-formatted.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -co --exclude-standard -- src tools tests bench fuzz packaging |
    grep -E '\.(cpp|h)$' | xargs -r clang-format --dry-run -Werror
