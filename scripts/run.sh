#!/usr/bin/env bash
# Sets up, builds and starts the program. Without a display it runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
app=./RivantaRace.app/Contents/MacOS/RivantaRace
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$app" "$@"
else
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$app" "$@"
fi
