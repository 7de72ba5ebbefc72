#!/usr/bin/env bash
# Builds everything with gcov's instrumentation in a folder of its own, runs the
# whole test suite there and prints the line and branch coverage of the product
# folders (tests, benchmarks and fuzz harnesses are not counted).
# Usage: scripts/coverage.sh [BUILD_FOLDER]   (default build-coverage)
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${1:-build-coverage}
JOBS=${JOBS:-2}
PRODUCT=(events lists link history sync sim desk cli app)

if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
  cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DLOGWICK_COVERAGE=ON -DLOGWICK_BENCH=OFF
fi
cmake --build "$BUILD" -j "$JOBS"

# Counts of an earlier run would add up with this one's.
find "$BUILD" -name '*.gcda' -delete
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
status=0
(cd "$BUILD" && ctest --output-on-failure -j "$JOBS") || status=$?

# The build folder is given as a search path, not as --object-directory: objects
# compiled through a compiler cache with a base folder name their sources
# relatively, which gcov resolves only from the object's own folder.
filters=()
for folder in "${PRODUCT[@]}"; do filters+=(--filter "$folder/"); done
gcovr --root . "${filters[@]}" -j "$JOBS" \
  --exclude-unreachable-branches --txt "$BUILD/coverage.txt" --print-summary "$BUILD"
echo "coverage: per file in $BUILD/coverage.txt"
exit $status
