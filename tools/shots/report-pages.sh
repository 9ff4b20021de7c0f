#!/usr/bin/env bash
# The results sheet of a ten-athlete race as the organiser gets it: writes the PDF and turns
# each page into a PNG to look at.
#   tools/shots/report-pages.sh [build folder] [output folder]
#   (default ./build-bench-print, ./build-bench-print/shots)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-$PWD/build-bench-print}
out=${2:-$build/shots}

# An existing build folder keeps its own configuration.
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target print_bench >/dev/null

exe=$(find "$build/bench/print_bench" -type f -name print_bench -perm -u+x | head -n 1)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$out"
read -r _ _ pdf < <(HOME=$home XDG_RUNTIME_DIR=$home QT_QPA_PLATFORM=offscreen "$exe" "$home/out" 1)
cp "$pdf" "$out/results-ten-athletes.pdf"
cp "${pdf%.pdf}.xlsx" "$out/results-ten-athletes.xlsx"
pdftoppm -png -r 100 "$out/results-ten-athletes.pdf" "$out/results-ten-athletes"
ls "$out"/results-ten-athletes*
