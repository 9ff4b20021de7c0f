#!/bin/bash
# Screenshots of the quick-start guide at its sections 1, 4 and 6 and of the feature overview,
# taken from the real program full screen on a 1920 x 1080 Xvfb screen (openbox as window
# manager), reached by clicking through the window as an operator would. Builds in the given
# build folder and leaves the PNGs in <build>/shots/guide/.
#   tools/shots/guide-pages.sh [build folder]   (default: build)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="$(realpath -m "${1:-$source_dir/build}")"

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build_dir" --target RivantaRace > /dev/null
exe="$build_dir/RivantaRace.app/Contents/MacOS/RivantaRace"
[ -x "$exe" ] || { echo "no program at $exe" >&2; exit 1; }

out="$build_dir/shots/guide"
mkdir -p "$out"
home="$(mktemp -d)"
mkdir -p "$home/.config" "$home/runtime"
chmod 700 "$home/runtime"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
    rm -rf "$home"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number once it is ready.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3> "$home/display" > /dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$home/display" ] && break; sleep 0.1; done
[ -s "$home/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$home/display")"
openbox > /dev/null 2>&1 &
pids+=($!)
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/runtime" \
    "$exe" > "$out/program.log" 2>&1 &
pids+=($!)

window=""
for _ in $(seq 100); do
    window="$(xdotool search --onlyvisible --name 'Rivanta' 2> /dev/null | head -n 1 || true)"
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the program's window did not show" >&2; exit 1; }
sleep 2
eval "$(xdotool getwindowgeometry --shell "$window")"

# Clicks the point (x, y) of a page's design canvas of w x h: the home page keeps its shape
# ("fit"), the other pages are stretched to the area below the 36-pixel title bar.
click() {
    local x=$1 y=$2 w=$3 h=$4 mode=$5
    read -r sx sy <<< "$(awk -v x="$x" -v y="$y" -v w="$w" -v h="$h" -v m="$mode" \
        -v X="$X" -v Y="$Y" -v W="$WIDTH" -v H="$HEIGHT" 'BEGIN {
        ax = W / w; ay = (H - 36) / h
        if (m == "fit") { s = (ax < ay) ? ax : ay; ax = s; ay = s }
        printf "%d %d\n", X + (W - w * ax) / 2 + x * ax, Y + 36 + (H - 36 - h * ay) / 2 + y * ay
    }')"
    xdotool mousemove --sync "$sx" "$sy" click 1
}
shot() {
    sleep "$1"
    import -window root "$out/$2"
    echo "$out/$2"
}

click 677 624 1920 1080 fit               # home card "Quick Start Guide"
shot 1.5 guide-section-1.png
click 286 602 1920 1044 stretch           # step 4
shot 1.2 guide-section-4.png
click 286 850 1920 1044 stretch           # step 6
shot 1.2 guide-section-6.png
click 98 1004 1920 1044 stretch           # Back
sleep 1
click 1241 624 1920 1080 fit              # home card "Features"
shot 1.5 features.png
