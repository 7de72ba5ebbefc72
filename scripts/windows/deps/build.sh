#!/usr/bin/env bash
# The Windows libraries of the cross-build, from Debian's own source packages:
# SQLite (the panel history archive), OpenSSL and PostgreSQL's libpq (the
# shared server). Each is fetched with apt-get source through a private apt
# set-up in WORK_DIR, cross-built with mingw-w64 and kept, by package version,
# in the cache (common.sh); a second run finds them there and builds nothing.
# Usage: scripts/windows/deps/build.sh WORK_DIR [JOBS]
# Prints one line per library, NAME=PREFIX.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deps_work=$1
# shellcheck disable=SC2034  # read by common.sh
deps_jobs=${2:-2}
. "$here/common.sh"
. "$here/sqlite3.sh"
. "$here/openssl.sh"
. "$here/libpq.sh"

mkdir -p "$deps_work/logs" "$deps_cache"
deps_work=$(cd "$deps_work" && pwd)
for tool in "$deps_cc" tclsh perl make dpkg-source; do
  command -v "$tool" >/dev/null || deps_die "$tool is missing: run scripts/install-deps.sh windows"
done

# One builder at a time; what an interrupted builder left goes.
exec 9>"$deps_cache/.lock"
flock 9
rm -rf "$deps_cache"/.build-*

deps_ensure sqlite3 sqlite3 libsqlite3-dev "" recipe_sqlite3
sqlite3=$deps_prefix
deps_ensure openssl openssl libssl-dev "" recipe_openssl
openssl=$deps_prefix
# libpq is built against that OpenSSL, so its folder names the OpenSSL too.
libpq_openssl=$openssl
deps_ensure libpq postgresql-15 libpq-dev "-openssl-${openssl##*/openssl-}" recipe_libpq
libpq=$deps_prefix

echo "sqlite3=$sqlite3"
echo "openssl=$openssl"
echo "libpq=$libpq"
