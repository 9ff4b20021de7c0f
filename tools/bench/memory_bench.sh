#!/usr/bin/env bash
# Resident memory over a day of races, under Xvfb against simulated consoles (rivanta-ble-sim
# on a private bus, through the real console link): 20 races in a row through the pages
# (athlete screen -> race page -> Back -> next race on the same connections), then 20 openings
# of each set-up and guide page from the home page. Prints the resident set after each and
# the growth after the first; targets: < 5 MiB a race, < 1 MiB an opening.
#   tools/bench/memory_bench.sh [build folder] [races] [openings]   (default ./build, 20, 20)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath -m "${1:-$PWD/build}")
races=${2:-20}
openings=${3:-20}

cmake --build "$build" --target memory_bench rivanta-ble-sim >/dev/null
exe=$(find "$build/bench/memory_bench" -type f -name memory_bench -perm -u+x | head -n 1)

source tools/bench/own_display.sh

HOME=$home XDG_RUNTIME_DIR=$home XDG_CONFIG_HOME=$home/.config DISPLAY=":$display" \
    QT_QPA_PLATFORM=xcb "$exe" "$races" "$openings" 2>"$build/memory_bench.log"
echo "(Qt messages of the run: $build/memory_bench.log)"
