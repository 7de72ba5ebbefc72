#!/usr/bin/env bash
# make package: a Release build of what the Debian package holds, with Debian's
# hardening flags, then CPack's DEB generator.
# Usage: scripts/package/build.sh [BUILD_DIR] [JOBS]
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build-package}
jobs=${2:-2}

# Every hardening Debian offers (bindnow included), as its own packages build.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DLOGWICK_PACKAGE=ON -DLOGWICK_TESTS=OFF -DLOGWICK_BENCH=OFF "${launcher[@]}"
fi
cmake --build "$build" -j "$jobs"
rm -f "$build"/logwick_*.deb
(cd "$build" && cpack -G DEB)
ls "$build"/logwick_*.deb
