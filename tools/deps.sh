#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Zelvano need,
# and only those that are missing. Sourced by run.sh and test.sh.
set -euo pipefail

zelvano_packages=(
    cmake g++ make pkg-config dpkg-dev file
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    libbenchmark-dev
    xvfb xauth xdotool imagemagick x11-utils
    desktop-file-utils appstream
    clang libclang-rt-14-dev
    fonts-dejavu-core
    # The windows' fonts, the control pictures and Qt's Italian texts.
    fonts-liberation fonts-symbola qt6-translations-l10n
    # tools/screenshots.sh: a platform theme with a dark palette and a large font
    qt6ct
)

zelvano_install_missing() {
    local missing=()
    local pkg
    for pkg in "${zelvano_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
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
