#!/usr/bin/env bash
# Builds the Debian package, installs it, and starts the installed program
# under Xvfb: its main window must map, titled "Zelvano", at the screen's
# top-left corner with the size of its layout.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../deps.sh"
zelvano_install_missing

build=$ZELVANO_ROOT/build-pkg
cmake -S "$ZELVANO_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZELVANO_BUILD_TESTS=OFF \
    -DZELVANO_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/zelvano_*.deb)
echo "package: $(basename "$deb")"
dpkg-deb -f "$deb" Depends Suggests
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf ' 1 \r\n' >frmstart.dat
printf ' 2 \r\n' >rex.dat  # the 800x600 layout
xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
    /usr/bin/zelvano &
    pid=$!
    for _ in $(seq 50); do
        win=$(xdotool search --onlyvisible --name "^Zelvano$" 2>/dev/null | head -n1) && [ -n "$win" ] && break
        sleep 0.2
    done
    [ -n "${win:-}" ] || { echo "no Zelvano window mapped"; kill $pid; exit 1; }
    geometry=$(xwininfo -id "$win" | awk "/Absolute upper-left X/{x=\$4} /Absolute upper-left Y/{y=\$4} /Width:/{w=\$2} END{print x, y, w}")
    kill $pid
    echo "installed program: window at x y width = $geometry"
    set -- $geometry
    [ "$1" -eq 0 ] && [ "$2" -eq 0 ] && [ "$3" -eq 598 ] || { echo "unexpected geometry"; exit 1; }
'
echo "package smoke test passed"
