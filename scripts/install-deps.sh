#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing;
# with --windows also the cross compiler and Wine of the Windows build.
set -euo pipefail
packages=(cmake ninja-build g++ clang clang-format libclang-rt-14-dev pkg-config
          qt6-base-dev qt6-svg-dev libqt6opengl6-dev libglu1-mesa-dev libgl1-mesa-dri
          libjpeg62-turbo-dev libgtest-dev libgmock-dev libbenchmark-dev
          libegl-dev libegl-mesa0 libgbm1 qt6-charts-dev
          libavcodec-dev libavformat-dev libswscale-dev libavutil-dev
          libxcb1-dev xvfb xauth nlohmann-json3-dev poppler-utils
          libsqlite3-dev libgeos-dev libpugixml-dev zlib1g-dev)
if [ "${1:-}" = "--windows" ]; then
    packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine64)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi
"${SUDO[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
