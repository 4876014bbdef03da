# Sourced by the run scripts: starts build/rc7sim in the background and
# exports STROKEDESK_COM1 (link 1) and STROKEDESK_USB (link 4) for its
# pseudo-terminals; SIM_PID is its process. Extra arguments go to rc7sim.
sim_out=$(mktemp)
build/rc7sim "$@" > "$sim_out" &
SIM_PID=$!
trap 'kill $SIM_PID 2>/dev/null; rm -f "$sim_out"' EXIT
for _ in $(seq 100); do
  grep -q '^ready' "$sim_out" && break
  sleep 0.05
done
if ! grep -q '^ready' "$sim_out"; then
  echo "rc7sim did not start" >&2
  exit 1
fi
export STROKEDESK_COM1=$(awk '$1 == "pty1" {print $2}' "$sim_out")
export STROKEDESK_USB=$(awk '$1 == "pty4" {print $2}' "$sim_out")
