#!/usr/bin/env bash
# Batch demo without a display: starts the controller simulator, runs the
# demo script in batch mode against it over a pseudo-terminal (serial port 3),
# prints the program's output, its exit code and the object log it wrote,
# stops the simulator and exits with the batch's exit code. The programs come
# from the folder given as $1 (default build), the script is $2 (default
# resources/demo.pms): the package check runs an unpacked package this way.
set -uo pipefail
bin=${1:+$(realpath "$1")}
script=${2:+$(realpath "$2")}
cd "$(dirname "$0")/.."
root=$PWD
bin=${bin:-$root/build}
script=${script:-$root/resources/demo.pms}
work=$(mktemp -d)
sim_pid=
cleanup() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$bin/rc7sim" --no-udp --no-pty4 --variant p0528 --stroke 1000 --lifetime 120 >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do
  grep -q '^ready' "$work/sim.out" && break
  sleep 0.1
done
pty=$(sed -n 's/^pty1 //p' "$work/sim.out")
if [[ -z $pty ]]; then
  echo "rc7sim did not start:" >&2
  cat "$work/sim.err" >&2
  exit 1
fi
echo "rc7sim: controller on $pty (serial port 3)"
echo "\$ strokedesk -batch -dc com 3 -script $script"

# The object log file of the script lands in the working folder.
(cd "$work" && STROKEDESK_COM3=$pty "$bin/strokedesk" -batch -dc com 3 -script "$script")
rc=$?
echo "strokedesk exit code: $rc"
for log in "$work"/*_demo; do
  [[ -f $log ]] || continue
  echo "object log $(basename "$log"):"
  cat "$log"
done
exit $rc
