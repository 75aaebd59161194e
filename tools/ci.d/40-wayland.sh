#!/usr/bin/env bash
# The program on a Wayland desktop without X: a private headless weston and a
# private D-Bus session; no DISPLAY and no QT_QPA_PLATFORM, so Qt can only use
# Wayland. Over AT-SPI: "Salve mondo", Cripta, the result, Esci, status 0.
# Then the start-up check's refusals, one line and status 1 each, never Qt's
# abort: Qt's Wayland plug-in hidden by a private mount (skipped where mounts
# are not allowed), a dead socket, a silent one, and QT_QPA_PLATFORM=wayland
# with no compositor.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../deps.sh"
zelvano_install_missing run wayland
zelvano_build
program=$ZELVANO_BUILD_DIR/src/zelvano

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The kiosk shell and no on-screen keyboard: no helper programs to outlive it.
printf '[core]\nshell=kiosk-shell.so\n[input-method]\npath=\n' >"$work/weston.ini"
socket=zelvano-wayland-$$
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
    --config="$work/weston.ini" --log="$work/weston.log" &
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$socket" ] && break; sleep 0.1; done
cd "$work"
printf ' 1 \r\n' >frmstart.dat
printf ' 2 \r\n' >rex.dat  # straight to the main window

start=$(date +%s%N)
env -u DISPLAY -u QT_QPA_PLATFORM -u WAYLAND_SOCKET WAYLAND_DISPLAY="$socket" \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 dbus-run-session -- /usr/bin/python3 - "$program" <<'EOF'
import subprocess, sys, time
import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib

program = subprocess.Popen([sys.argv[1]])

def wait_for(what, find):
    for _ in range(200):
        try:  # an application may leave the bus meanwhile
            if found := find():
                return found
        except GLib.Error:
            pass
        time.sleep(0.1)
    program.kill()
    sys.exit(f"wayland: no {what}")

def named(node, role, name):
    if node.get_role_name() == role and node.get_name() == name:
        return node
    children = (node.get_child_at_index(i) for i in range(node.get_child_count()))
    return next(filter(None, (named(child, role, name) for child in children)), None)

desktop = Atspi.get_desktop(0)
apps = lambda: (desktop.get_child_at_index(i) for i in range(desktop.get_child_count()))
ours = lambda: next((a for a in apps() if a and a.get_process_id() == program.pid), None)
window = wait_for("main window", lambda: (app := ours()) and named(app, "frame", "Zelvano"))
named(window, "text", "Testo da elaborare").set_text_contents("Salve mondo")
named(window, "push button", "Cripta").do_action(0)
result = named(window, "text", "Risultato")
wait_for("result", lambda: result.get_text(0, -1) == " XDqYj rRsGt")
named(window, "push button", "Esci").do_action(0)
print(f"wayland: native run: result ' XDqYj rRsGt', exit status {program.wait(20)}")
sys.exit(program.returncode)
EOF
echo "wayland: native run took $((($(date +%s%N) - start) / 1000000)) ms"

# LABEL, PART OF THE REPORT, the command before the program's path.
refusal() {
    local label=$1 part=$2 status=0 report
    shift 2
    report=$(env -u DISPLAY -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE \
        "$@" "$program" 2>&1 >/dev/null) || status=$?
    echo "wayland: $label: status $status: $report"
    [ "$status" -eq 1 ] && [ "$(wc -l <<<"$report")" -eq 1 ] && [[ $report == "Zelvano: "* ]] &&
        [[ $report == *"$part"* ]] && [ "$(grep -o Zelvano <<<"$report" | wc -l)" -eq 1 ] ||
        { echo "wayland: $label: wrong"; exit 1; }
}
plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS)/platforms
mkdir "$work/platforms"
cp "$plugins"/* "$work/platforms/" && rm "$work/platforms"/libqwayland-*
if unshare -m true 2>/dev/null; then
    refusal "no Wayland plug-in" qt6-wayland unshare -m --propagation private -- \
        sh -c 'mount --bind "$1" "$2" && shift 2 && exec "$@"' sh "$work/platforms" "$plugins" \
        env WAYLAND_DISPLAY="$socket"
else
    echo "wayland: no Wayland plug-in: skipped, no private mounts here"
fi
/usr/bin/python3 -c 'import socket, sys, time; s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1] + "-dead"); s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1] + "-mute"); s.listen(); time.sleep(60)' "$XDG_RUNTIME_DIR/zelvano" &
for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/zelvano-mute" ] && break; sleep 0.1; done
refusal "dead socket" "«zelvano-dead» non risponde" env WAYLAND_DISPLAY=zelvano-dead
refusal "silent socket" "«zelvano-mute» non risponde" env WAYLAND_DISPLAY=zelvano-mute
refusal "QT_QPA_PLATFORM=wayland" "QT_QPA_PLATFORM=wayland (" env QT_QPA_PLATFORM=wayland
echo "wayland: passed"
