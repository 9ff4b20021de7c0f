#!/usr/bin/env bash
# Resident memory over a day of races, under Xvfb against simulated consoles (rivanta-ble-sim
# on a private bus, through the real console link): 20 races in a row through the pages
# (athlete screen -> race page -> Back -> next race on the same connections), then 20 openings
# of each set-up and guide page from the home page; the athlete screen both left after every
# console is connected ("Main") and left while they are still being connected
# ("Main-connecting"). Prints the resident set after each and the growth from the third on;
# targets: < 5 MiB a race, < 0.3 MiB an opening of the athlete screen, < 1 MiB another.
#   tools/bench/memory_bench.sh [build folder] [races] [openings] [page ...]
#   (default ./build, 20, 20, every page; e.g. "build 0 50 Main Main-connecting")
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath -m "${1:-$PWD/build}")
races=${2:-20}
openings=${3:-20}
pages=("${@:4}")

cmake --build "$build" --target memory_bench rivanta-ble-sim >/dev/null
exe=$(find "$build/bench/memory_bench" -type f -name memory_bench -perm -u+x | head -n 1)

source tools/bench/own_display.sh

HOME=$home XDG_RUNTIME_DIR=$home XDG_CONFIG_HOME=$home/.config DISPLAY=":$display" \
    QT_QPA_PLATFORM=xcb "$exe" "$races" "$openings" "${pages[@]}" 2>"$build/memory_bench.log"
echo "(Qt messages of the run: $build/memory_bench.log)"
