#!/usr/bin/env bash
# Builds the Debian package of a build tree and checks its file list and fields.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$out" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(ls "$out"/*.deb)
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
status=0
for want in ./usr/bin/orlex-viewer ./usr/bin/orlex-info ./usr/bin/orlex-gen ./usr/bin/orlex-view \
    ./usr/bin/orlex-render ./usr/bin/orlex-stats ./usr/bin/orlex-report ./usr/bin/orlex-convert \
    ./usr/share/man/man1/orlex-render.1 ./usr/share/man/man1/orlex-report.1 \
    ./usr/share/man/man1/orlex-stats.1 ./usr/share/man/man1/orlex-convert.1 \
    ./usr/share/applications/orlex-viewer.desktop \
    ./usr/share/mime/packages/orlex-viewer.xml \
    ./usr/share/icons/hicolor/scalable/apps/orlex-viewer.svg \
    ./usr/share/icons/hicolor/48x48/apps/orlex-viewer.png \
    ./usr/share/icons/hicolor/256x256/apps/orlex-viewer.png \
    ./usr/share/man/man1/orlex-viewer.1 ./usr/share/man/man1/orlex-info.1 \
    ./usr/share/man/man1/orlex-gen.1 ./usr/share/man/man1/orlex-view.1; do
    if ! grep -qxF "$want" <<<"$files"; then
        echo "missing from the package: $want"
        status=1
    fi
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libjpeg62-turbo libavcodec59 libegl1 shared-mime-info libsqlite3-0 \
    libgeos-c1 libpugixml1v5 zlib1g; do
    if ! grep -q "$lib" <<<"$depends"; then
        echo "Depends lacks $lib: $depends"
        status=1
    fi
done
[ "$(dpkg-deb -f "$deb" Package)" = orlex-viewer ] || { echo "wrong package name"; status=1; }
exit $status
