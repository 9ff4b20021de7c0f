#!/usr/bin/env bash
# Runs the program against simulated rowing consoles instead of real ones: a private D-Bus
# system bus with the console simulator (tools/ble-sim) on it, and the program pointed there.
# The consoles are named "Kayak 1", "Kayak 2", ...: type these names on the Settings screen.
# They stand at 2500 m until you press Enter here, then count down at slightly different
# speeds, as athletes paddling.
#   bash scripts/try-with-consoles.sh [number of consoles, 1 to 10; default 3]
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-3}
bash scripts/build.sh >/dev/null
sim=$PWD/build/tools/ble-sim/rivanta-ble-sim
app=./RivantaRace.app/Contents/MacOS/RivantaRace

dir=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$dir"; }
trap cleanup EXIT
cat > "$dir/bus.conf" <<CONF
<busconfig><type>system</type><listen>unix:path=$dir/bus</listen><auth>EXTERNAL</auth>
<policy context="default"><allow user="*"/><allow own="*"/>
<allow send_type="*"/><allow receive_type="*"/></policy></busconfig>
CONF
dbus-daemon --config-file="$dir/bus.conf" --nofork >/dev/null 2>&1 & pids+=($!)
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$dir/bus
for _ in $(seq 50); do [ -S "$dir/bus" ] && break; sleep 0.1; done
"$sim" >/dev/null 2>&1 & pids+=($!)
control() { gdbus call --system -d com.rivanta.BleSim -o /com/rivanta/BleSim \
                -m "com.rivanta.BleSim1.$1" "${@:2}" >/dev/null; }
for _ in $(seq 50); do control Reset 2>/dev/null && break; sleep 0.1; done
for i in $(seq "$count"); do
    control AddConsole "{'address': <'C0:FF:EE:00:00:$(printf %02d "$i")'>, \
'name': <'Kayak $i'>, 'startDistance': <uint32 2500>, 'speed': <$((35 + 3 * i))e-1>, \
'rowing': <false>}"
done
echo "$count simulated consoles: Kayak 1 .. Kayak $count."

(cd build
 if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then exec "$app"
 else exec xvfb-run -a -s "-screen 0 1920x1080x24" "$app"; fi) & pids+=($!)
app_pid=${pids[-1]}
echo "Press Enter to let the athletes paddle (after GO on the race screen)."
read -r _ || true
for i in $(seq "$count"); do control SetRowing "C0:FF:EE:00:00:$(printf %02d "$i")" true; done
echo "Paddling. Close the program to end."
wait "$app_pid" || true
