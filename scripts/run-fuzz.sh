#!/usr/bin/env bash
# Runs each libFuzzer target for a given time from a fresh temporary folder
# and prints one line of figures per target.
#   scripts/run-fuzz.sh BIN_DIR SECONDS TARGET...
# New inputs go to build/fuzz/corpus/<name>/, the seeds of fuzz/corpus/<name>/
# are read as well; a finding is kept in build/fuzz/findings/ and fails the run.
set -uo pipefail

bin_dir=$(realpath "$1"); seconds=$2; shift 2
repo=$(realpath "$(dirname "$0")/..")
work="$repo/build/fuzz"
mkdir -p "$work/findings"
status=0
printf '%-22s %10s %8s %7s %7s %7s  %s\n' target runs exec/s cov ft corpus result
for target in "$@"; do
  name=${target%_fuzz}
  mkdir -p "$work/corpus/$name"
  seeds="$repo/fuzz/corpus/$name"
  [ -d "$seeds" ] || seeds=""
  log="$work/$target.log"
  run_dir=$(mktemp -d)
  ( cd "$run_dir" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
      "$bin_dir/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$work/findings/$target-" \
      "$work/corpus/$name" $seeds >"$log" 2>&1 )
  rc=$?
  rm -rf "$run_dir"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  corpus=$(find "$work/corpus/$name" -type f | wc -l)
  result=ok
  if [ $rc -ne 0 ]; then result="FINDING (see $log)"; status=1; fi
  printf '%-22s %10s %8s %7s %7s %7s  %s\n' "$target" "${runs:-?}" "${speed:-?}" "${cov:-?}" \
    "${ft:-?}" "$corpus" "$result"
done
exit $status
