#!/usr/bin/env bash
# Benchmark of the console link: ten simulated consoles (rivanta-ble-sim on a private bus)
# send 20 Rower Data notifications a second each for 60 s to one BluetoothManager through the
# real Qt Bluetooth code. Prints frames sent, frames parsed and packet-log lines, which must be
# equal (none lost), and the program's CPU time.
#   tools/bench/ble_bench.sh [build folder] [seconds]    (default ./build-bench-ble, 60)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-$PWD/build-bench-ble}
seconds=${2:-60}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target ble_bench rivanta-ble-sim >/dev/null

# The program writes its packet log three folders above its executable, in the build tree.
exe=$(find "$build/bench" -type f -name ble_bench -perm -u+x | head -n 1)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
status=0
HOME=$home XDG_RUNTIME_DIR=$home QT_QPA_PLATFORM=offscreen \
    "$exe" "$seconds" 2>"$build/ble_bench.log" || status=$?
echo "(Qt messages of the run: $build/ble_bench.log)"
exit $status
