#!/usr/bin/env bash
# Configures the mingw-w64 cross-build in BUILD_DIR with the Windows libraries
# of scripts/windows/deps/build.sh (built once, then taken from their cache).
# HOST_CLI, when given, is the Linux logwick-cli whose simulator the Windows
# line tests read.
# Usage: scripts/windows/configure.sh BUILD_DIR [JOBS] [HOST_CLI]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
build=$1 jobs=${2:-2} host_cli=${3:-}
mkdir -p "$build"
build=$(cd "$build" && pwd)

deps=$("$here/deps/build.sh" "$build/deps" "$jobs" | sed 's/^[^=]*=//' | paste -sd ';')

cache="$build/CMakeCache.txt"
settings=(-DLOGWICK_WINDOWS_DEPS="$deps")
[[ -n $host_cli ]] && settings+=(-DLOGWICK_HOST_CLI="$host_cli")
if [[ ! -f $cache ]]; then
  cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DLOGWICK_GUI=OFF -DLOGWICK_BENCH=OFF "${settings[@]}"
elif ! grep -qxF "LOGWICK_WINDOWS_DEPS:STRING=$deps" "$cache" ||
  { [[ -n $host_cli ]] && ! grep -qxF "LOGWICK_HOST_CLI:FILEPATH=$host_cli" "$cache"; }; then
  # Other library folders: what CMake found in the old ones goes.
  cmake "$build" "${settings[@]}" -U 'SQLite3_*' -U 'PostgreSQL_*' -U 'OPENSSL_*' -U '_OPENSSL_*' \
    -U 'LIB_EAY*' -U 'SSL_EAY*'
fi
