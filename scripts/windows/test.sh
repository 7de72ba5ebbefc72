#!/usr/bin/env bash
# make test-windows: cross-builds the core, logwick-cli and their tests for
# Windows with mingw-w64 (with SQLite, OpenSSL and libpq built from Debian's
# source packages, scripts/windows/deps) and runs them with CTest under Wine,
# in a private Wine prefix inside the build folder; then builds the setup
# program and tries it in a fresh prefix (installer-test.sh).
# The end-to-end read-out test also needs the Linux logwick-cli (its
# simulator and reference read-out); it is built in BUILD_DIR/host. The
# synchronisation tests reach a PostgreSQL cluster that pg-cluster.sh runs on
# the Linux side for the run.
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
t1=$(stamp)

"$here/configure.sh" "$build" "$jobs" "$host/bin/logwick-cli"
t2=$(stamp)
cmake --build "$build" -j "$jobs"
cmake --build "$build" --target windows-installer
t3=$(stamp)

pg=$(mktemp -d "${TMPDIR:-/tmp}/logwick-wine-pg.XXXXXX")
cleanup() {
  "$here/wine-prefix.sh" "$build" stop
  "$here/xvfb.sh" "$build" stop
  "$here/pg-cluster.sh" remove "$pg" || true
}
trap cleanup EXIT
"$here/xvfb.sh" "$build" start
"$here/wine-prefix.sh" "$build" start
. "$here/wine-env.sh" "$build"
LOGWICK_TEST_PG_PORT=$("$here/pg-cluster.sh" init "$pg")
LOGWICK_TEST_PG_DIR=$(winepath -w "$pg" 2>/dev/null)
export LOGWICK_TEST_PG_PORT LOGWICK_TEST_PG_DIR
status=0
(cd "$build" && ctest --output-on-failure -j "$jobs") || status=$?
t4=$(stamp)
"$here/wine-prefix.sh" "$build" stop
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
"$here/installer-test.sh" "$build" "$build/logwick-$version-setup.exe" || status=$?
t5=$(stamp)
echo "test-windows: Linux logwick-cli $((t1 - t0)) s, Windows libraries $((t2 - t1)) s," \
  "Windows build $((t3 - t2)) s, tests under Wine $((t4 - t3)) s, setup program under Wine $((t5 - t4)) s"
exit $status
