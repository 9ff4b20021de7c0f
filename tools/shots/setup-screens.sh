#!/bin/bash
# Screenshots of the race set-up page and the console address page at 1920 x 1080, with
# simulated consoles (several connected, one connecting, one failed, athletes typed, an
# address scan running). Builds in the given build folder and leaves the PNGs in
# <build>/shots/setup/.
#   tools/shots/setup-screens.sh [build folder]   (default: build)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="$(realpath -m "${1:-$source_dir/build}")"

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build_dir" --target setup_shots

out="$build_dir/shots/setup"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.config" "$home/runtime"
chmod 700 "$home/runtime"
cd "$out"
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/runtime" \
QML_IMPORT_PATH="$build_dir/src/screens" \
QT_QPA_PLATFORM="offscreen:configfile=$source_dir/tests/screens/startup/screen-1920x1080.json" \
    "$out/setup_shots.app/Contents/MacOS/setup_shots"
ls -1 "$out"/*.png
