#!/usr/bin/env bash
# The program under the Orca screen reader, walked with real keys in a private
# session (tools/screen-reader.sh): fails when Orca does not say what a blind
# user needs to hear, listed at the end of its output.
set -euo pipefail
"$(dirname "${BASH_SOURCE[0]}")/../screen-reader.sh" --check
