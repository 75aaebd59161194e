#!/usr/bin/env bash
# The program on a Wayland desktop without X: a private headless weston (no
# Xwayland, no DISPLAY, no QT_QPA_PLATFORM, so Qt can only use Wayland) and a
# private D-Bus session with the accessibility bus. The built program starts
# natively, is driven over AT-SPI ("Cripta" on "Salve mondo", then "Esci")
# and must show the result and end with status 0. Then the start-up check's
# refusals, each one line on standard error and status 1, never Qt's abort:
# Qt's Wayland plug-in hidden (by a private mount, skipped where the system
# does not allow one), a dead socket, a socket that never answers, and
# QT_QPA_PLATFORM=wayland with no compositor.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../deps.sh"
zelvano_install_missing run wayland
zelvano_build
program=$ZELVANO_BUILD_DIR/src/zelvano

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
socket=zelvano-wayland-$$
# The kiosk shell and no on-screen keyboard: weston starts no helper programs
# that would outlive it.
printf '[core]\nshell=kiosk-shell.so\n[input-method]\npath=\n' >"$work/weston.ini"
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
    --config="$work/weston.ini" --log="$work/weston.log" &
weston=$!
trap 'kill $weston $(jobs -p) 2>/dev/null; wait; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$socket" ] && break; sleep 0.1; done
cd "$work"
printf ' 1 \r\n' >frmstart.dat
printf ' 2 \r\n' >rex.dat  # straight to the 800x600 main window

start=$(date +%s%N)
env -u DISPLAY -u QT_QPA_PLATFORM -u WAYLAND_SOCKET WAYLAND_DISPLAY="$socket" \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 dbus-run-session -- /usr/bin/python3 - "$program" <<'EOF'
import subprocess, sys, time
import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib

program = subprocess.Popen([sys.argv[1]])
desktop = Atspi.get_desktop(0)

def wait_for(what, find):
    for _ in range(200):
        found = find()
        if found:
            return found
        time.sleep(0.1)
    program.kill()
    sys.exit(f"wayland: no {what}")

def named(node, role, name):
    if node.get_role_name() == role and node.get_name() == name:
        return node
    for i in range(node.get_child_count()):
        found = named(node.get_child_at_index(i), role, name)
        if found:
            return found

def ours():
    for i in range(desktop.get_child_count()):
        try:  # an application may leave the bus meanwhile
            app = desktop.get_child_at_index(i)
            if app and app.get_process_id() == program.pid:
                return app
        except GLib.Error:
            pass

window = wait_for("main window", lambda: ours() and named(ours(), "frame", "Zelvano"))
named(window, "text", "Testo da elaborare").set_text_contents("Salve mondo")
named(window, "push button", "Cripta").do_action(0)
result = named(window, "text", "Risultato")
wait_for("result", lambda: result.get_text(0, -1) == " XDqYj rRsGt")
named(window, "push button", "Esci").do_action(0)
status = program.wait(20)
print(f"wayland: native run: result ' XDqYj rRsGt', exit status {status}")
sys.exit(status)
EOF
echo "wayland: native run took $((($(date +%s%N) - start) / 1000000)) ms"

# LABEL, PART-OF-THE-REPORT, then the command that runs the program: one line
# naming the program once, and status 1.
refusal() {
    local label=$1 part=$2 status=0 report
    shift 2
    report=$(env -u DISPLAY -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE \
        "$@" "$program" 2>&1 >/dev/null) || status=$?
    echo "wayland: $label: status $status: $report"
    [ "$status" -eq 1 ] && [ "$(wc -l <<<"$report")" -eq 1 ] &&
        [[ $report == "Zelvano: "*"$part"* ]] && [ "$(grep -o Zelvano <<<"$report" | wc -l)" -eq 1 ] ||
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
/usr/bin/python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' \
    "$XDG_RUNTIME_DIR/zelvano-dead"
refusal "dead socket" "«zelvano-dead» non risponde" env WAYLAND_DISPLAY=zelvano-dead
/usr/bin/python3 -c 'import socket, sys, time; s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1]); s.listen(); time.sleep(60)' "$XDG_RUNTIME_DIR/zelvano-mute" &
for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/zelvano-mute" ] && break; sleep 0.1; done
refusal "silent socket" "«zelvano-mute» non risponde" env WAYLAND_DISPLAY=zelvano-mute
refusal "QT_QPA_PLATFORM=wayland, no compositor" "QT_QPA_PLATFORM=wayland" \
    env QT_QPA_PLATFORM=wayland
echo "wayland: passed"
