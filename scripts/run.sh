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
source scripts/start-sim.sh
echo "Simulator: COM1 = $STROKEDESK_COM1, USB = $STROKEDESK_USB, Ethernet = 127.0.0.2"
build/strokedesk "$@"
