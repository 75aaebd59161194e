#!/usr/bin/env bash
# The tree stays clang-format clean: any difference fails the check.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
source tools/deps.sh
zelvano_install_missing format
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
echo "clang-format: clean"
