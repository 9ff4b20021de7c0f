#!/usr/bin/env bash
# Benchmark of the results save: the PDF report and the xlsx workbook of a ten-athlete race,
# written 50 times. Prints the median and the worst time per save.
#   tools/bench/print_bench.sh [build folder] [repeats]    (default ./build-bench-print, 50)
# Target: under 300 ms per save.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-$PWD/build-bench-print}
repeats=${2:-50}

# An existing build folder keeps its own configuration.
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target print_bench >/dev/null

exe=$(find "$build/bench/print_bench" -type f -name print_bench -perm -u+x | head -n 1)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
read -r median worst _ < <(HOME=$home XDG_RUNTIME_DIR=$home QT_QPA_PLATFORM=offscreen \
    "$exe" "$home/out" "$repeats" 2>"$build/print_bench.log")
echo "(Qt messages of the run: $build/print_bench.log)"
awk -v m="$median" -v w="$worst" -v n="$repeats" 'BEGIN {
  printf "save of ten results (PDF + xlsx), %d runs: median %.1f ms, worst %.1f ms (target < 300)\n", n, m, w
  exit (w >= 300)
}'
