#!/usr/bin/env bash
# Takes every picture of the README and the user guide (docs/guide.md) on a
# virtual X display, in one session against the controller simulator on
# COM1: the ram-type panel after identification, the parameter and
# save/recall panels, the macro panel after a compile, the progress panel
# during an upload, the configuration panel after a read, the wizard's pages,
# the extended parameter panel, the main window with the session's log, after
# typed commands and after the example script, and the scope: a failed
# download, the download panel during a download, the trace, its information
# after a save and a load, and its evaluation.
#   scripts/screenshot.sh [build directory] [output folder]
# Needs Xvfb; builds nothing, so build first (ninja -C build).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
output=${2:-docs}
tool="$build/strokedesk_screenshot"
if [[ ! -x "$tool" || ! -x "$build/rc7sim" ]]; then
  echo "screenshot: $tool or $build/rc7sim not found; build the project first" >&2
  exit 1
fi
command -v Xvfb >/dev/null 2>&1 || { echo "screenshot: Xvfb is not installed" >&2; exit 1; }
mkdir -p "$output"
output=$(cd "$output" && pwd)  # the tool works in a scratch folder of its own

# A free display number.
display=99
while [[ -e "/tmp/.X11-unix/X$display" || -e "/tmp/.X$display-lock" ]]; do display=$((display + 1)); done

sim_out=$(mktemp)
Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sim=
trap 'kill $xvfb $sim 2>/dev/null || true; rm -f "$sim_out"' EXIT INT TERM
# Wait for the server's socket.
tries=0
while [[ ! -e "/tmp/.X11-unix/X$display" ]]; do
  tries=$((tries + 1))
  ((tries > 50)) && { echo "screenshot: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done

export DISPLAY=":$display" QT_QPA_PLATFORM=xcb

# A P0528 controller on the simulator's serial link, its ram moving, with a
# recorded stroke whose sixth block is spoilt for the first download.
"$build/rc7sim" --variant p0528 --no-udp --stroke 2000 --scope 4000 --scope-corrupt-block 5:4 > "$sim_out" &
sim=$!
for _ in $(seq 100); do
  grep -q '^ready' "$sim_out" && break
  sleep 0.05
done
STROKEDESK_COM1=$(awk '$1 == "pty1" {print $2}' "$sim_out")
export STROKEDESK_COM1
[[ -n "$STROKEDESK_COM1" ]] || { echo "screenshot: rc7sim did not start" >&2; exit 1; }
"$tool" "$output"
