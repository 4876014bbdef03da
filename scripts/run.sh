#!/usr/bin/env bash
# The main job: builds StrokeDesk and opens it when a display is there;
# without one it runs the batch demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec build/strokedesk "$@"
fi
echo "No display: running the batch demo."
exec bash scripts/batch-demo.sh
