#!/usr/bin/env bash
# Builds the libFuzzer harnesses, writes their seed corpora and runs each for
# FUZZ_SECONDS (default 60). Fails when a harness finds a crash, a leak, an
# input slower than 1 s or one that needs more than 256 MB.
# FUZZ_RUNS, when set, ends each harness after that many inputs instead (the
# time limit still holds): FUZZ_RUNS=1000000 FUZZ_SECONDS=3600 make fuzz.
# Usage: scripts/reliability/fuzz.sh [BUILD_FOLDER]   (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/../.."

BUILD=${1:-build-fuzz}
SECONDS_EACH=${FUZZ_SECONDS:-60}
JOBS=${JOBS:-2}
HARNESSES=(event_file readout sentence server_row archive_blob)

if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
  CXX=clang++ CC=clang cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLOGWICK_FUZZ=ON -DLOGWICK_GUI=OFF -DLOGWICK_TESTS=OFF -DLOGWICK_BENCH=OFF
fi
targets=(logwick-fuzz-seeds)
for h in "${HARNESSES[@]}"; do targets+=("fuzz_$h"); done
cmake --build "$BUILD" -j "$JOBS" --target "${targets[@]}"

rm -rf "$BUILD/seeds"
"$BUILD/bin/logwick-fuzz-seeds" "$BUILD/seeds"

# A small quarantine keeps the sanitizer's own bookkeeping well inside the
# 256 MB limit, so that the limit measures the code under test.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

mkdir -p "$BUILD/artifacts"
summary="$BUILD/fuzz-summary.txt"
: >"$summary"
failed=0
for h in "${HARNESSES[@]}"; do
  corpus="$BUILD/corpus/$h"
  mkdir -p "$corpus"
  log="$BUILD/fuzz-$h.log"
  echo "fuzz: $h for ${SECONDS_EACH}s"
  status=0
  "$BUILD/bin/fuzz_$h" -max_total_time="$SECONDS_EACH" ${FUZZ_RUNS:+-runs=$FUZZ_RUNS} -rss_limit_mb=256 -timeout=1 \
    -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/$h-" \
    "$corpus" "$BUILD/seeds/$h" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log")
  line="$h: ${runs:-0} runs, ${speed:-0} exec/s, peak ${rss:-?} MB"
  if [[ $status -ne 0 ]]; then
    failed=1
    line="$line - FAILED (see $log and $BUILD/artifacts)"
    grep -E "ERROR|SUMMARY|broken promise" "$log" | head -5 >&2 || true
  fi
  echo "$line" | tee -a "$summary"
done
exit $failed
