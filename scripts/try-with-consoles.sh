#!/usr/bin/env bash
# Runs the program against simulated rowing consoles instead of real ones: a private D-Bus
# system bus with the console simulator (tools/ble-sim) on it, and the program pointed there.
# The consoles are named "Kayak 1", "Kayak 2", ... They stand at 2500 m until you press Enter
# here, then count down at slightly different speeds, as athletes paddling.
#
# The program runs with settings of its own in a temporary folder, which already name the
# consoles in lanes 1, 2, ...: your saved console addresses stay as they are and Settings needs
# no typing. Its output goes to build/try-with-consoles.log, so this terminal keeps the prompt.
# Without a display it runs on an invisible Xvfb screen. Ctrl+C here ends everything.
#   bash scripts/try-with-consoles.sh [number of consoles, 1 to 10; default 3]
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-3}
if ! [[ "$count" =~ ^([1-9]|10)$ ]]; then
    echo "usage: $0 [number of consoles, 1 to 10]" >&2
    exit 2
fi
bash scripts/build.sh >/dev/null
sim=$PWD/build/tools/ble-sim/rivanta-ble-sim
app=./RivantaRace.app/Contents/MacOS/RivantaRace
log=build/try-with-consoles.log

dir=$(mktemp -d)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

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

# The program's own settings: lane i is served by "Kayak i". The user's folder names (where
# "Print" starts) are carried over.
config=$dir/config
mkdir -p "$config/Rivanta"
{ echo "[General]"; for i in $(seq "$count"); do echo "$((i - 1))=Kayak $i"; done; } \
    > "$config/Rivanta/BlueMacAddr.conf"
user_dirs=${XDG_CONFIG_HOME:-$HOME/.config}/user-dirs.dirs
if [ -f "$user_dirs" ]; then cp "$user_dirs" "$config/"; fi

where="on your display"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$dir/display")"
    where="on an invisible Xvfb screen ($DISPLAY), as there is no display"
fi

(cd build && XDG_CONFIG_HOME=$config exec "$app") >"$log" 2>&1 & pids+=($!)
app_pid=${pids[-1]}

cat <<TEXT
$count simulated consoles, Kayak 1 .. Kayak $count, in lanes 1 .. $count.
The program runs $where; its output goes to $log.
Home screen -> "Ergometer": the consoles connect; enter the athletes, pick the distance, "Next".
Press Enter here after GO on the race screen to let the athletes paddle. Ctrl+C here ends it all.
TEXT
# Waits for Enter, or for the program to end first.
while kill -0 "$app_pid" 2>/dev/null; do
    rc=0
    read -r -t 1 _ || rc=$?
    if [ "$rc" -le 128 ]; then break; fi
done
if ! kill -0 "$app_pid" 2>/dev/null; then exit 0; fi
for i in $(seq "$count"); do control SetRowing "C0:FF:EE:00:00:$(printf %02d "$i")" true; done
echo "Paddling. Close the program, or press Ctrl+C here, to end."
wait "$app_pid" || true
