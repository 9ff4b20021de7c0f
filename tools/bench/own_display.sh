# Sourced by the benchmark scripts: an Xvfb display of their own (the first free number from
# 90 on) and a scratch home folder, both gone when the script exits. Sets `display` and `home`.
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
    display=$((display + 1))
done
home=$(mktemp -d)
Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >"$home/xvfb.log" 2>&1 &
xvfb_pid=$!
cleanup() {
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done
