#!/usr/bin/env bash
# Runs every benchmark script of scripts/bench.d in order and ends with the
# figures, one per line as "name: value unit".
set -euo pipefail
build=${1:-build-bench}
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT
for script in "$(dirname "$0")"/bench.d/*.sh; do
  [ -e "$script" ] || continue
  echo "== $(basename "$script")"
  BENCH_SUMMARY="$summary" bash "$script" "$build"
done
echo
echo "== figures"
cat "$summary"
