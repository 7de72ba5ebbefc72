#!/usr/bin/env bash
# Core figures on a 100000-event file with 20 message texts: load, every
# sentence, filter, report file; then the peak memory of `logwick-cli export`.
# Appends "name: value unit" lines to $BENCH_SUMMARY.
set -euo pipefail
build=${1:-build-bench}
bin=$build/bin
summary=${BENCH_SUMMARY:-/dev/stdout}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bin/logwick-bench-core" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/core.csv" --benchmark_out_format=csv

# Median wall time of each benchmark, in ms.
awk -F, '
  $1 ~ /_median"$/ {
    name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
    label = (name == "load") ? "event file load" : \
            (name == "sentences") ? "every sentence" : \
            (name == "filter") ? "filter" : "report file"
    printf "%s (100000 events): %.1f ms\n", label, $3
    # Wall time of the report includes flushing the file to the disk.
    if (name == "report") printf "report file, CPU only (100000 events): %.1f ms\n", $4
  }' "$work/core.csv" >>"$summary"

"$bin/logwick-cli" sample -o "$work/log.t7kev" --count 100000 --texts 20
start=$(date +%s%N)
kib=$("$bin/logwick-peak-rss" "$bin/logwick-cli" export "$work/log.t7kev" -o "$work/log.txt")
end=$(date +%s%N)
echo "logwick-cli export (100000 events): $(( (end - start) / 1000000 )) ms"
awk -v k="$kib" 'BEGIN { printf "logwick-cli export peak memory: %.1f MB\n", k / 1024 }' >>"$summary"
