#!/usr/bin/env bash
# Builds the libFuzzer programs (fuzz preset: clang, ASan + UBSan) and runs them one after the
# other, each for a given time or number of executions, then prints per target the executions,
# the coverage reached and the findings (crash, leak, timeout and out-of-memory inputs).
#
#   scripts/fuzz.sh [--time SECONDS] [--runs N] [--smoke] [TARGET...]
#
# Targets: package pe inslog profile comma_text document project_json answers (default: all).
# --time   seconds per target (default 60); --runs stops a target after N executions instead.
# --smoke  what CI runs: every seed of tests/fuzz/corpus replayed, then 5 seconds per target.
# New inputs go to build/fuzz/corpus/TARGET, findings to build/fuzz/findings/TARGET; the seeds
# under tests/fuzz/corpus are only read. Runs under nice -n 19 with memory limits: 2 GiB resident,
# 512 MiB for any one allocation (above the 256 MiB configuration cap, below anything that is
# not a bug). Exits non-zero when any target has a finding.
set -euo pipefail
cd "$(dirname "$0")/.."

all="package pe inslog profile comma_text document project_json answers"
seconds=60 runs="" smoke="" targets=""
while [ $# -gt 0 ]; do
  case "$1" in
    --time) seconds="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --smoke) smoke=1; seconds=5; shift ;;
    *) targets="$targets $1"; shift ;;
  esac
done
targets="${targets:-$all}"

cmake --preset fuzz >/dev/null
# shellcheck disable=SC2086
cmake --build --preset fuzz -j"$(nproc)" --target $(printf 'fuzz_%s ' $targets) >/dev/null

# The simulated machines of the programs live in memory, not on the disk.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
# A small quarantine and short allocation stacks double the executions per second; use after
# free is still caught for the last 8 MiB freed, which covers one run of any target.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=8:malloc_context_size=8}"
limits=(-rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=25 -print_final_stats=1)
status=0
printf '%-13s %14s %8s %8s %9s\n' target executions cov ft findings
for t in $targets; do
  program="build/fuzz/fuzz/fuzz_$t"
  seeds="tests/fuzz/corpus/$t"
  work="build/fuzz/corpus/$t"
  findings="build/fuzz/findings/$t"
  log="build/fuzz/logs/$t.log"
  rm -rf "$findings"
  mkdir -p "$work" "$findings" "$(dirname "$log")"
  : >"$log"
  if [ -n "$smoke" ] && [ -d "$seeds" ]; then
    # Each seed once: a seed that crashes is a finding like any other.
    find "$seeds" -type f -print0 | xargs -0 -r nice -n 19 "$program" "${limits[@]}" \
      -artifact_prefix="$findings/" >>"$log" 2>&1 || true
  fi
  stop=(-max_total_time="$seconds")
  [ -n "$runs" ] && stop=(-runs="$runs")
  nice -n 19 "$program" "${limits[@]}" "${stop[@]}" -artifact_prefix="$findings/" \
    "$work" "$seeds" >>"$log" 2>&1 || true
  executions=$(grep -o 'number_of_executed_units: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo 0)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo 0)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo 0)
  found=$(find "$findings" -type f | wc -l)
  printf '%-13s %14s %8s %8s %9s\n' "$t" "$executions" "$cov" "$ft" "$found"
  if [ "$found" -gt 0 ]; then
    status=1
    find "$findings" -type f | sed 's/^/    finding: /'
    grep -m3 -E 'ERROR|SUMMARY|runtime error|uncaught' "$log" | sed 's/^/    /' || true
  fi
done
exit $status
