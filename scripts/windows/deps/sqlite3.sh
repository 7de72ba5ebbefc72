# Sourced by build.sh. SQLite: the amalgamation made natively from the Debian
# source tree (its tclsh-driven generator), then cross-compiled as a static
# library.

# The Debian package's compile-time options that shape the library's
# behaviour, so that the Windows archive behaves as the Linux one.
sqlite3_defines=(
  -DSQLITE_THREADSAFE=1 -DSQLITE_SECURE_DELETE -DSQLITE_OMIT_LOOKASIDE=1 -DSQLITE_USE_URI=1
  -DSQLITE_LIKE_DOESNT_MATCH_BLOBS -DSQLITE_MAX_SCHEMA_RETRY=25 -DSQLITE_MAX_VARIABLE_NUMBER=250000
  -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_DBSTAT_VTAB
)

# recipe_sqlite3 SOURCE PREFIX JOBS
recipe_sqlite3() {
  local src=$1 prefix=$2 jobs=$3
  mkdir -p "$src/native" "$prefix/include" "$prefix/lib"
  (cd "$src/native" && ../configure --disable-tcl --disable-readline --disable-editline)
  make -C "$src/native" -j "$jobs" sqlite3.c
  "$deps_cc" -O2 "${sqlite3_defines[@]}" -c "$src/native/sqlite3.c" -o "$src/native/sqlite3.o"
  "$deps_cross-ar" rcs "$prefix/lib/libsqlite3.a" "$src/native/sqlite3.o"
  cp "$src/native/sqlite3.h" "$src/src/sqlite3ext.h" "$prefix/include/"
  cp "$src/LICENSE.md" "$prefix/LICENSE.md"
}
