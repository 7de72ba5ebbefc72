#!/usr/bin/env bash
# The panel history archive: filing a 4096-event read-out into a panel whose
# history holds 1,000,000 events, the archive's size per event, and
# `logwick-cli archive show` of a 100,000-event history as a whole process
# (median of 7 runs). Appends "name: value unit" lines to $BENCH_SUMMARY.
set -euo pipefail
build=${1:-build-bench}
bin=$build/bin
summary=${BENCH_SUMMARY:-/dev/stdout}
[ -x "$bin/logwick-bench-history" ] || { echo "no archive in this build: skipped"; exit 0; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bin/logwick-bench-history" "$work/archive.sqlite" | tee -a "$summary"

runs=()
for _ in 1 2 3 4 5 6 7; do
  start=$(date +%s%N)
  "$bin/logwick-cli" archive show --archive "$work/archive.sqlite" 1002 >"$work/show.txt"
  end=$(date +%s%N)
  runs+=($(( (end - start) / 1000 )))
done
lines=$(wc -l <"$work/show.txt")
median=$(printf '%s\n' "${runs[@]}" | sort -n | sed -n 4p)
awk -v us="$median" -v n="$lines" \
  'BEGIN { printf "logwick-cli archive show, 100000-event history (%d lines), whole process: %.1f ms\n", n, us / 1000 }' |
  tee -a "$summary"
