#!/usr/bin/env bash
# Builds the Debian package as the README says and checks it with lintian (any
# tag it reports, pedantic and informational ones included, fails), installs it, validates the installed desktop entry
# and metainfo, finds the manual page, starts the installed program under Xvfb
# (its main window must map, titled "Zelvano", at the screen's top-left corner
# with the size of its layout), starts it as the menu entry does (its files
# must land in the configuration folder, none in the home folder), and purges
# it again, which must leave none of its files.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../deps.sh"
zelvano_install_missing run package

build=$ZELVANO_ROOT/build-pkg
# Debian's build flags are on by default; named here so that the package
# build fails rather than goes without them.
cmake -S "$ZELVANO_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZELVANO_BUILD_TESTS=OFF \
    -DZELVANO_DEBIAN_BUILDFLAGS=ON -DZELVANO_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/zelvano_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/zelvano_*.deb)
echo "package: $(basename "$deb")"
dpkg-deb -f "$deb" Depends Recommends Suggests
# The package is meant to draw no tag at all, pedantic and informational ones
# included. --info only explains the tags shown; --display-info shows the "I:"
# tags (such as binary-has-unneeded-section), which --fail-on cannot see unless
# they are shown.
status=0
report=$(lintian --display-info --pedantic --info --fail-on error,warning,info,pedantic \
    "$deb" 2>&1) || status=$?
grep -v '^running with root privileges is not recommended!$' <<<"$report" || true
[ "$status" -eq 0 ] || { echo "lintian reported tags (status $status)"; exit 1; }
echo "lintian passed: no tags"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
entry=/usr/share/applications/org.zelvano.Zelvano.desktop
desktop-file-validate "$entry"
appstreamcli validate --pedantic --no-net /usr/share/metainfo/org.zelvano.Zelvano.metainfo.xml
echo "manual page: $(man -w zelvano)"

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

# From the menu: a first start in a new home folder opens the chooser.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
mkdir "$work/home"
(cd / && env -u XDG_CONFIG_HOME HOME="$work/home" xvfb-run -a -s '-screen 0 1024x768x24' \
    bash -c "$exec_line"' &
    pid=$!
    for _ in $(seq 50); do
        win=$(xdotool search --onlyvisible --name "^Zelvano - Risoluzioni$" 2>/dev/null | head -n1) && [ -n "$win" ] && break
        sleep 0.2
    done
    kill $pid
    [ -n "${win:-}" ] || { echo "no chooser from the menu entry"; exit 1; }')
echo "menu start: home holds:" $(cd "$work/home" && ls -A) "; ~/.config/zelvano holds:" \
    $(cd "$work/home/.config/zelvano" && ls -A)
for name in frmstart.dat rex.dat; do
    [ -f "$work/home/.config/zelvano/$name" ] && [ ! -e "$work/home/$name" ] ||
        { echo "$name is not in ~/.config/zelvano alone"; exit 1; }
done

files=$(dpkg -L zelvano)
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq zelvano >/dev/null
left=$(while read -r path; do
    # Shared folders such as /usr/share stay; the package's own go.
    if [ -e "$path" ] && { [ ! -d "$path" ] || [[ $path == */zelvano ]]; }; then echo "$path"; fi
done <<<"$files")
[ -z "$left" ] || { echo "left after purge: $left"; exit 1; }
echo "package smoke test passed"
