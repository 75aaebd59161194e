#!/usr/bin/env bash
# Installs what is missing, builds Zelvano and starts it in the current directory
# (where it keeps its two preference files).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/deps.sh"
zelvano_install_missing run
zelvano_build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<MSG
There is no display to open Zelvano's windows on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a desktop session, or under a virtual X server:
    xvfb-run -s '-screen 0 1280x1024x24' $ZELVANO_BUILD_DIR/src/zelvano
MSG
    exit 1
fi
exec "$ZELVANO_BUILD_DIR/src/zelvano"
