#!/usr/bin/env bash
# Start-up and memory figures of the program against a bare Qt Quick window showing one image,
# measured side by side in one run under Xvfb with openbox:
#   - start-up: process start to the first frame the window renders (the window is shown only
#     once the home page is in place), median of several starts of each, and their ratio
#     (target: within 1.5x);
#   - memory: the program's resident set after a 10-lane race driven through its window
#     (tests/e2e/organiser_run.py, scenario ten-import) against the bare window's
#     (target: under +80 MB).
#   tools/bench/startup_bench.sh [build folder] [starts]   (default ./build, 7)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=$(realpath -m "${1:-$PWD/build}")
starts=${2:-7}

cmake --build "$build" --target RivantaRace rivanta-ble-sim bare_window >/dev/null
app=$build/RivantaRace.app/Contents/MacOS/RivantaRace
bare=$build/tests/e2e/bare_window
image=$build/artwork/images/FirstScreen.png
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

Xvfb :77 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
sleep 1
DISPLAY=:77 openbox >/dev/null 2>&1 & pids+=($!)
sleep 0.5
export DISPLAY=:77 HOME=$work XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work/.config
export QT_LOGGING_RULES="qt.scenegraph.time.renderloop=true"
export QT_MESSAGE_PATTERN="%{time yyyy-MM-ddTHH:mm:ss.zzz} %{message}"

# Seconds from the start of the command to the first frame that was really drawn and swapped.
first_frame() {
    local t0
    t0=$(date +%s.%N)
    "$@" >/dev/null 2>"$work/frames.log" & local pid=$!
    for _ in $(seq 100); do
        grep -q "frame rendered" "$work/frames.log" 2>/dev/null && \
            grep "frame rendered" "$work/frames.log" | grep -vq "render=0, swap=0" && break
        sleep 0.1
    done
    sleep 0.3
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
    local stamp
    stamp=$(grep "frame rendered" "$work/frames.log" | grep -v "render=0, swap=0" | head -n 1 | awk '{print $1}')
    awk -v a="$(date -d "$stamp" +%s.%N)" -v b="$t0" 'BEGIN {printf "%.3f\n", a - b}'
}
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

app_times=() bare_times=()
cd "$work"
cp "$build/app_icon.ico" .
for _ in $(seq "$starts"); do
    app_times+=("$(first_frame "$app")")
    bare_times+=("$(first_frame "$bare" "$image")")
done
app_start=$(printf '%s\n' "${app_times[@]}" | median)
bare_start=$(printf '%s\n' "${bare_times[@]}" | median)
echo "start-up to first frame: program ${app_start} s, bare window ${bare_start} s (medians of $starts)"
awk -v a="$app_start" -v b="$bare_start" 'BEGIN {printf "  ratio %.2fx (target within 1.5x)\n", a / b}'

unset QT_LOGGING_RULES QT_MESSAGE_PATTERN
"$bare" "$image" >/dev/null 2>&1 & bpid=$!
sleep 3
bare_rss=$(awk '/^VmRSS:/ {print $2}' /proc/$bpid/status)
kill "$bpid"; wait "$bpid" 2>/dev/null || true
unset DISPLAY
/usr/bin/python3 "$root/tests/e2e/organiser_run.py" --scenario ten-import --app "$app" \
    --sim "$build/tools/ble-sim/rivanta-ble-sim" --out "$work/race" --rss-file "$work/rss" >/dev/null
app_rss=$(cat "$work/rss")
echo "resident memory: program after a 10-lane race $((app_rss / 1024)) MiB, bare window $((bare_rss / 1024)) MiB"
echo "  difference +$(((app_rss - bare_rss) / 1024)) MiB (target under +80 MB)"
