#!/usr/bin/env bash
# The Windows programs, under Wine, against the Linux ones on the same files: the
# same JSON from orlex-info, the same JSON and text from orlex-stats, the same 3D log
# files from orlex-gen and orlex-convert, byte for byte. The files lie in folders
# named in several scripts.
# Usage: scripts/compare-windows.sh [LINUX_BUILD] [WINDOWS_BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
linux=$(realpath "${1:-build/test}")
windows=$(realpath "${2:-build/windows}")
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEPREFIX="${WINEPREFIX:-$windows/wine}" WINEDEBUG=-all
export ASAN_OPTIONS=detect_leaks=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

L() { "$linux/tools/$1/$1" "${@:2}"; }
W() { "$wine" "$windows/tools/$1/$1.exe" "${@:2}"; }

# Compares two files, which must not be empty; names what differs.
same() {
    if [ -s "$2" ] && cmp -s "$2" "$3"; then
        echo "same: $1"
    else
        echo "DIFFERENT: $1"
        diff <(head -c 2000 "$2") <(head -c 2000 "$3") | head -20 || true
        failed=1
    fi
}

latin="$work/Prüfung/Ærø-Schiff"
nordic="$work/Øresund"
greek="$work/Πλοίο"
cjk="$work/案例"
mkdir -p "$latin" "$nordic" "$greek" "$cjk"

# orlex-gen: the sample, written by each system into a folder of another script.
L orlex-gen --profile sample -o "$latin/ship-linux.3dl" 2>/dev/null
W orlex-gen --profile sample -o "$cjk/ship-windows.3dl" 2>/dev/null
same "orlex-gen --profile sample" "$latin/ship-linux.3dl" "$cjk/ship-windows.3dl"
cp samples/example.3dl "$greek/example.3dl"
cp "$latin/ship-linux.3dl" "$nordic/ship.3dl"

# orlex-stats on the example and the sample: text and JSON. Both get the same
# paths, so even the file names in the output must agree.
for args in "$greek/example.3dl" "--json $greek/example.3dl" "--json $nordic/ship.3dl" \
            "--csv $greek/example.3dl $nordic/ship.3dl --any-case"; do
    # shellcheck disable=SC2086
    L orlex-stats $args >"$work/linux.out" 2>/dev/null || echo "linux exit $?" >>"$work/linux.out"
    # shellcheck disable=SC2086
    W orlex-stats $args >"$work/windows.out" 2>/dev/null || echo "windows exit $?" >>"$work/windows.out"
    same "orlex-stats ${args//$work\//}" "$work/linux.out" "$work/windows.out"
done
# orlex-info --json, with and without the analysis: the same document apart from the
# file's path, which each system is given in a folder of another script.
cp samples/example.3dl "$latin/example.3dl"
cp samples/example.3dl "$cjk/example.3dl"
cp "$latin/ship-linux.3dl" "$cjk/ship.3dl"
cp "$latin/ship-linux.3dl" "$latin/ship.3dl"
for name in example.3dl ship.3dl; do
    for args in "--json" "--json --analysis"; do
        # shellcheck disable=SC2086
        L orlex-info $args "$latin/$name" 2>/dev/null |
            sed -E -e "s#$latin/$name#FILE#g" >"$work/linux.out" ||
            echo "linux exit $?" >>"$work/linux.out"
        # shellcheck disable=SC2086
        W orlex-info $args "$cjk/$name" 2>/dev/null |
            sed -E -e "s#$cjk/$name#FILE#g" >"$work/windows.out" ||
            echo "windows exit $?" >>"$work/windows.out"
        same "orlex-info $args $name" "$work/linux.out" "$work/windows.out"
    done
done
W orlex-stats --summary "$cjk/part.json" "$nordic/ship.3dl" >/dev/null 2>&1
L orlex-stats --summary "$latin/part.json" "$nordic/ship.3dl" >/dev/null 2>&1
same "orlex-stats --summary" "$latin/part.json" "$cjk/part.json"

# orlex-convert: PeTrack text with CR LF and a byte-order mark, and back.
printf '\xef\xbb\xbf# framerate: 10 fps\r\n# id frame x/m y/m\r\n' >"$greek/rows.txt"
for id in 1 2 3; do
    for frame in 0 5 10 15 20; do
        printf '%d %d %d.%d %d.0\r\n' "$id" "$frame" $((1 + frame / 10)) $((frame % 10)) "$id"
    done
done >>"$greek/rows.txt"
L orlex-convert "$greek/rows.txt" -o "$latin/rows-linux.3dl" >/dev/null 2>&1
W orlex-convert "$greek/rows.txt" -o "$cjk/rows-windows.3dl" >/dev/null 2>&1
same "orlex-convert PeTrack text (BOM, CR LF)" "$latin/rows-linux.3dl" "$cjk/rows-windows.3dl"
L orlex-convert "$nordic/ship.3dl" --to petrack -o "$latin/ship-linux.txt" >/dev/null 2>&1
W orlex-convert "$nordic/ship.3dl" --to petrack -o "$cjk/ship-windows.txt" >/dev/null 2>&1
same "orlex-convert --to petrack" "$latin/ship-linux.txt" "$cjk/ship-windows.txt"

[ "$failed" -eq 0 ] && echo "The Windows programs agree with the Linux ones."
exit "$failed"
