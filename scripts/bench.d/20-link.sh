#!/usr/bin/env bash
# Read-out of the simulated panel paced at the line's baud rate, with a known
# serial number: 1024 events in blocks of 16 at 9600 baud 8N1, and 128 events
# at 1200 baud 8E1 (ГАЗ mode). Wall time against the wire time of every byte
# sent both ways (10 bit times a byte at 8N1, 11 at 8E1), the reader's
# processor time and its voluntary context switches (how often it slept).
# Appends "name: value unit" lines to $BENCH_SUMMARY.
set -euo pipefail
build=${1:-build-bench}
bin=$build/bin
summary=${BENCH_SUMMARY:-/dev/stdout}
out=$(mktemp)
trap 'rm -f "$out" "$out.sqlite"' EXIT
export LOGWICK_ARCHIVE="$out.sqlite"  # the read-outs are filed, but not into the user's archive

"$bin/logwick-bench-link" "$bin/logwick-cli" 1024 16 plain "read 9600 8N1 (1024 events)" | tee -a "$out"
"$bin/logwick-bench-link" "$bin/logwick-cli" 128 16 gaz "read 1200 8E1 (128 events)" | tee -a "$out"
grep -E 'wall/wire|CPU share|context switches|wall time|wire time' "$out" >>"$summary"
