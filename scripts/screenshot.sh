#!/bin/sh
# Takes a picture of StrokeDesk's main window on a virtual X display.
#   scripts/screenshot.sh [build directory] [output.png]
# Needs Xvfb; builds nothing, so build first (ninja -C build).
set -eu
build=${1:-build}
output=${2:-docs/main-window.png}
tool="$build/strokedesk_screenshot"
if [ ! -x "$tool" ]; then
  echo "screenshot: $tool not found; build the project first" >&2
  exit 1
fi
command -v Xvfb >/dev/null 2>&1 || { echo "screenshot: Xvfb is not installed" >&2; exit 1; }
mkdir -p "$(dirname "$output")"

# A free display number.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done

Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT INT TERM
# Wait for the server's socket.
tries=0
while [ ! -e "/tmp/.X11-unix/X$display" ]; do
  tries=$((tries + 1))
  [ "$tries" -gt 50 ] && { echo "screenshot: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done

DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$tool" "$output"
echo "screenshot: $output"
