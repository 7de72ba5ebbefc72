#!/usr/bin/env bash
# Statistics, integrity check and find-bar search on 100000 events; then each
# data report form written by a whole `logwick-cli export` process: wall time
# (median of five) and peak memory. Appends "name: value unit" lines to
# $BENCH_SUMMARY.
set -euo pipefail
build=${1:-build-bench}
bin=$build/bin
summary=${BENCH_SUMMARY:-/dev/stdout}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bin/logwick-bench-analysis" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/analysis.csv" --benchmark_out_format=csv

# Median wall time of each benchmark, in ms; of the keystrokes, the slowest.
awk -F, '
  $1 ~ /_median"$/ {
    name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
    if (name ~ /^keystroke\//) {
      if ($3 > worst) { worst = $3; needle = substr(name, 11) }
    } else {
      label = (name == "statistics") ? "statistics" : \
              (name == "integrity") ? "integrity check" : "find: folding every row (once per filter change)"
      printf "%s (100000 events): %.1f ms\n", label, $3
    }
  }
  END { printf "find: one keystroke, slowest needle \"%s\" (100000 rows): %.2f ms\n", needle, worst }
' "$work/analysis.csv" >>"$summary"

"$bin/logwick-cli" sample -o "$work/log.t7kev" --count 100000 --texts 20
for format in csv jsonl html; do
  times=()
  for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    kib=$("$bin/logwick-peak-rss" "$bin/logwick-cli" export "$work/log.t7kev" -o "$work/log.$format" \
      --format "$format")
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000 )))
  done
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
  awk -v f="$format" -v us="$median" -v k="$kib" 'BEGIN {
    printf "logwick-cli export --format %s (100000 events): %.1f ms\n", f, us / 1000
    printf "logwick-cli export --format %s peak memory: %.1f MB\n", f, k / 1024
  }' >>"$summary"
done
