#!/usr/bin/env bash
# Sets up, builds and starts the program. Without a display it runs on an Xvfb screen of its
# own, which ends with it; Ctrl+C ends both and leaves nothing behind.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
app=./RivantaRace.app/Contents/MacOS/RivantaRace
if [ "$(uname -s)" = Darwin ] || [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$app" "$@"
fi

dir=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
if [ ! -s "$dir/display" ]; then
  echo "Xvfb did not start" >&2
  exit 1
fi
DISPLAY=":$(cat "$dir/display")" "$app" "$@" &
pids+=($!)
# The script waits here, not in the foreground, so that Ctrl+C reaches the trap at once.
wait "${pids[-1]}"
