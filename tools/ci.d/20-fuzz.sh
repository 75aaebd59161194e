#!/usr/bin/env bash
# A short fuzzing run of every libFuzzer target (fuzz/run.sh), 45 seconds each
# unless ZELVANO_FUZZ_SECONDS says otherwise. Fails when a target finds a
# crash, a sanitizer report or a broken invariant.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../deps.sh"
zelvano_install_missing run fuzz
"$ZELVANO_ROOT/fuzz/run.sh" "${ZELVANO_FUZZ_SECONDS:-45}"
