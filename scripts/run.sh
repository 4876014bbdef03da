#!/usr/bin/env bash
# The main job: builds StrokeDesk and opens it against the controller
# simulator when a display is there (COM1 is the simulator's serial link, USB
# its USB link, 127.0.0.2 its Ethernet address); without one it runs the
# batch demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: running the batch demo against the simulator."
  exec bash scripts/batch-demo.sh
fi
# A P0528 controller whose scope holds a recorded stroke to download.
source scripts/start-sim.sh --variant p0528 --scope 1200
echo "Simulator: COM1 = $STROKEDESK_COM1, USB = $STROKEDESK_USB, Ethernet = 127.0.0.2"
build/strokedesk "$@"
