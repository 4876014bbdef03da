#!/usr/bin/env bash
# Batch demo without a display: starts the program in batch mode and prints
# its output and exit code.
set -uo pipefail
cd "$(dirname "$0")/.."
build/strokedesk -batch -script resources/demo.pms
rc=$?
echo "strokedesk exit code: $rc"
exit $rc
