#!/usr/bin/env bash
# The Windows desktop program's event list at the file limit under Wine: start
# to first paint and re-wrap on a change of width. Only where the Windows build
# of make test-windows exists (WINDOWS_BUILD, default build-windows).
set -euo pipefail
summary=${BENCH_SUMMARY:-/dev/stdout}
build=${WINDOWS_BUILD:-build-windows}
if [ ! -f "$build/bin/window-pictures.exe" ]; then
  echo "60-windows: $build/bin/window-pictures.exe not built (make test-windows), skipped"
  exit 0
fi
"$(dirname "$0")/../windows/screenshots.sh" "$build" figures | tee -a "$summary"
