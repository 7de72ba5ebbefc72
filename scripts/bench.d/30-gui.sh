#!/usr/bin/env bash
# The desktop program's event list at the file limit (100000 events): open to
# first paint, refill after a filter change, re-wrap after a width change,
# scroll to the end, resident memory; where the program has the archive, a
# panel history of over a million events from "Открыть" to first paint and
# scrolled to its end. Appends "name: value unit" lines to
# $BENCH_SUMMARY.
set -euo pipefail
build=${1:-build-bench}
summary=${BENCH_SUMMARY:-/dev/stdout}
bin=$build/bin/logwick-bench-gui
if [ ! -x "$bin" ]; then
  echo "30-gui: $bin not built (Qt 6 missing?), skipped"
  exit 0
fi
QT_QPA_PLATFORM=offscreen "$bin" | tee -a "$summary"
