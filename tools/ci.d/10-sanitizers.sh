#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs the whole test suite there, with LeakSanitizer on. Any
# report fails a test: ASan and LSan end the process with an error status, and
# undefined behaviour aborts (-fno-sanitize-recover). No suppressions are
# needed: the suite, Qt's offscreen platform and the real program under Xvfb
# run clean.
set -euo pipefail
export ZELVANO_BUILD_DIR=${ZELVANO_ASAN_BUILD_DIR:-$(pwd)/build-asan}
source "$(dirname "${BASH_SOURCE[0]}")/../deps.sh"
zelvano_install_missing run test
zelvano_build -DZELVANO_SANITIZE=ON

export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$ZELVANO_BUILD_DIR"
ctest --output-on-failure -j"$(nproc)"
