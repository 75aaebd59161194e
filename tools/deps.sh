#!/usr/bin/env bash
# The Debian packages each step needs, in named groups, and the installer that
# adds the missing ones of the groups a script names. Sourced by run.sh,
# test.sh, screenshots.sh, screen-reader.sh, bench/run.sh, fuzz/run.sh and the
# CI checks.
set -euo pipefail

# Building and running the program (tools/run.sh). dpkg-dev gives every build
# Debian's hardening flags (dpkg-buildflags), as the package has them.
zelvano_deps_run=(
    cmake g++ make pkg-config dpkg-dev
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libxcb1-dev libwayland-dev
    fonts-dejavu-core
    # The windows' fonts, the control pictures and Qt's Italian texts.
    fonts-liberation fonts-symbola qt6-translations-l10n
    # Qt's Wayland plug-in: the program runs natively in a Wayland session.
    qt6-wayland
)
# The test suite (tools/test.sh), on top of run: the bad-input test answers the
# real program's error report on its own Xvfb with xdotool; two tests validate
# the desktop entry and the metainfo.
zelvano_deps_test=(
    xvfb xdotool
    desktop-file-utils appstream
)
# The benchmarks (bench/run.sh).
zelvano_deps_bench=(libbenchmark-dev)
# The libFuzzer targets (fuzz/run.sh): clang with its sanitizer runtimes.
zelvano_deps_fuzz=(clang libclang-rt-14-dev)
# The Debian package (tools/ci.d/30-package.sh): cpack's library scan, lintian
# (which reads the manual page with man), the installed program under xvfb-run,
# and the validators for the installed desktop entry and metainfo.
zelvano_deps_package=(
    dpkg-dev file lintian man-db
    xvfb xauth xdotool x11-utils
    desktop-file-utils appstream
)
# The Wayland check (tools/ci.d/40-wayland.sh): a headless compositor, a
# private D-Bus session with the accessibility bus, and Python's AT-SPI.
zelvano_deps_wayland=(
    weston qt6-wayland dbus at-spi2-core gir1.2-atspi-2.0 python3-gi
)
# The formatting check (tools/ci.d/05-format.sh).
zelvano_deps_format=(clang-format)
# The screenshots (tools/screenshots.sh).
# qt6ct: the platform theme that gives the dark palette and the large font.
zelvano_deps_screenshots=(xvfb xauth xdotool x11-utils imagemagick qt6ct)
# The screen-reader walk (tools/screen-reader.sh): Orca and speech-dispatcher
# (its generic module writes the speech to a file; libao for its null sound
# driver), the accessibility bus, a private D-Bus session, X server and window
# manager, xdotool for the keys and xprop to see the window manager ready.
zelvano_deps_screenreader=(
    orca speech-dispatcher libao4 at-spi2-core dbus-daemon
    xvfb xfwm4 xdotool x11-utils
)

# zelvano_install_missing GROUP...: installs the packages of these groups that
# are not installed yet. Only apt-get runs as root: through sudo for a user.
zelvano_install_missing() {
    local missing=() group pkg
    for group in "$@"; do
        declare -p "zelvano_deps_$group" >/dev/null 2>&1 ||
            { echo "deps.sh: no package group '$group'" >&2; exit 2; }
        local -n list=zelvano_deps_$group
        for pkg in "${list[@]}"; do
            dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
                missing+=("$pkg")
        done
        unset -n list
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Run as root to install: ${missing[*]}" >&2; exit 1; }
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# Configures and builds into build/ (or $ZELVANO_BUILD_DIR). Warnings become
# errors under CI or when ZELVANO_WERROR=ON.
zelvano_build() {
    local werror=${ZELVANO_WERROR:-OFF}
    [ "${CI:-}" = "true" ] && werror=ON
    cmake -S "$ZELVANO_ROOT" -B "$ZELVANO_BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DZELVANO_WERROR="$werror" "$@" >/dev/null
    cmake --build "$ZELVANO_BUILD_DIR" -j"$(nproc)"
}

ZELVANO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZELVANO_BUILD_DIR=${ZELVANO_BUILD_DIR:-$ZELVANO_ROOT/build}

# A script started with sudo builds, and keeps preference files, as root.
if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    echo "Note: started with sudo, so the build and any files it writes belong to root." \
        "Run it as $SUDO_USER: it asks for sudo only to install packages." >&2
fi
