#!/usr/bin/env bash
# Screenshots of the race screen at 1920 x 1080 (countdown, ten-lane race, finish cards and
# notices, race end, one-lane race), in a real window under Xvfb: the software renderer of the
# offscreen platform leaves paddling kayaks out.
#
#     tools/shots/race-screen.sh [build folder] [output folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build}"
out="${2:-$build/shots/race}"

cmake --build "$build" --target race_shots rivanta_artwork >/dev/null
mkdir -p "$out"
# Its own HOME and XDG folders, so the race logs and settings of a real user stay untouched.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/runtime" && chmod 700 "$scratch/runtime"
HOME="$scratch" XDG_CONFIG_HOME="$scratch/.config" XDG_DATA_HOME="$scratch/.local/share" \
XDG_CACHE_HOME="$scratch/.cache" XDG_RUNTIME_DIR="$scratch/runtime" \
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" \
    "$build/shots/race_shots/race_shots.app/Contents/MacOS/race_shots" "$out"
