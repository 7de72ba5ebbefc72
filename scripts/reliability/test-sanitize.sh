#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in a
# folder of its own and runs the whole test suite there. Any report of either
# sanitizer fails the test that caused it.
# Usage: scripts/reliability/test-sanitize.sh [BUILD_FOLDER]   (default build-asan)
set -euo pipefail
cd "$(dirname "$0")/../.."

BUILD=${1:-build-asan}
JOBS=${JOBS:-2}

start=$(date +%s)
if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
  cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLOGWICK_SANITIZE=address,undefined -DLOGWICK_BENCH=OFF
fi
cmake --build "$BUILD" -j "$JOBS"
built=$(date +%s)

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
(cd "$BUILD" && ctest --output-on-failure -j "$JOBS") || status=$?
done_at=$(date +%s)
echo "test-sanitize: build $((built - start)) s, tests $((done_at - built)) s"
exit $status
