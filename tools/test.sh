#!/usr/bin/env bash
# Installs what is missing, builds Zelvano with its tests and runs them all.
# The GUI tests use Qt's offscreen platform, so no display is needed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/deps.sh"
zelvano_install_missing run test
zelvano_build
cd "$ZELVANO_BUILD_DIR"
ctest --output-on-failure -j"$(nproc)"
