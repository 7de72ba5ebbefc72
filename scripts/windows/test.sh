#!/usr/bin/env bash
# make test-windows: cross-builds the core, logwick-cli and their tests for
# Windows with mingw-w64 and runs them with CTest under Wine, in a private Wine
# prefix inside the build folder. The end-to-end read-out test also needs the
# Linux logwick-cli (its simulator and reference read-out); it is built in
# BUILD_DIR/host.
# The desktop program's windows appear on a virtual X server (Xvfb).
# Usage: scripts/windows/test.sh [BUILD_DIR] [JOBS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
build=${1:-build-windows}
jobs=${2:-2}
mkdir -p "$build"
build=$(cd "$build" && pwd)
host="$build/host"

stamp() { date +%s; }
t0=$(stamp)

if [[ ! -f "$host/CMakeCache.txt" ]]; then
  cmake -S "$src" -B "$host" -DCMAKE_BUILD_TYPE=Release \
    -DLOGWICK_GUI=OFF -DLOGWICK_TESTS=OFF -DLOGWICK_BENCH=OFF >/dev/null
fi
cmake --build "$host" --target logwick-cli -j "$jobs"

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DLOGWICK_GUI=OFF -DLOGWICK_BENCH=OFF \
    -DLOGWICK_HOST_CLI="$host/bin/logwick-cli"
elif ! grep -q "^LOGWICK_HOST_CLI:FILEPATH=$host/bin/logwick-cli\$" "$build/CMakeCache.txt"; then
  cmake "$build" -DLOGWICK_HOST_CLI="$host/bin/logwick-cli"
fi
cmake --build "$build" -j "$jobs"
t1=$(stamp)

"$here/xvfb.sh" "$build" start
"$here/wine-prefix.sh" "$build" start
trap '"$here/wine-prefix.sh" "$build" stop; "$here/xvfb.sh" "$build" stop' EXIT
. "$here/wine-env.sh" "$build"
status=0
(cd "$build" && ctest --output-on-failure -j "$jobs") || status=$?
t2=$(stamp)
echo "test-windows: build $((t1 - t0)) s, tests under Wine $((t2 - t1)) s"
exit $status
