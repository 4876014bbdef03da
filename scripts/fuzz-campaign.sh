#!/bin/bash
# Long fuzzing run: every harness of a fuzz build, one after another, each
# until 10 million executions or SECONDS_EACH seconds, whichever comes first.
# Usage: fuzz-campaign.sh BUILD_FUZZ_DIR SECONDS_EACH [CORPUS_ROOT] [LOG]
# The log gets one line per harness: executions, corpus size, findings.
set -u
build=${1:?fuzz build folder}
seconds=${2:?seconds per harness}
corpus_root=${3:-/work/fuzz-corpus}
log=${4:-$corpus_root/campaign.log}
seeds=$(cd "$(dirname "$0")/../tests/fuzz/seeds" && pwd)
mkdir -p "$corpus_root"
echo "# $(date -u +%FT%TZ) campaign: $seconds s or 10000000 runs each" >>"$log"
for bin in "$build"/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin")
  corpus=$corpus_root/$name
  findings=$corpus_root/$name-findings
  mkdir -p "$corpus" "$findings"
  seed_dir=$seeds/${name#fuzz_}
  [ -d "$seed_dir" ] || seed_dir=
  out=$corpus_root/$name.out
  start=$(date +%s)
  nice -n 19 "$bin" -runs=10000000 -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" $seed_dir >"$out" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out" | grep -o '[0-9]*$' | tail -1)
  echo "$(date -u +%FT%TZ) $name rc=$rc time=$(( $(date +%s) - start ))s runs=${runs:-?} corpus=$(ls "$corpus" | wc -l) findings=$(ls "$findings" | wc -l)" >>"$log"
done
echo "# $(date -u +%FT%TZ) campaign done" >>"$log"
