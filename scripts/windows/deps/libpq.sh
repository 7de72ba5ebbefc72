# Sourced by build.sh. PostgreSQL's libpq through PostgreSQL's own MinGW build
# (configure for the host x86_64-w64-mingw32), against the cached OpenSSL
# ($libpq_openssl); only src/interfaces/libpq and the parts of src/port and
# src/common it needs are compiled. The result is one static libpq.a.

# On Windows libpq brings its own small pthread_mutex_* and pthread_self;
# linked statically beside the winpthreads of the programs' C++ runtime they
# would clash, so libpq's objects call them by names of their own.
libpq_pthread_names=(self setspecific getspecific mutex_init mutex_lock mutex_unlock)

# recipe_libpq SOURCE PREFIX JOBS
recipe_libpq() {
  local src=$1 prefix=$2 jobs=$3 ssl=$libpq_openssl
  local build="$src/cross" dir="$src/cross/src/interfaces/libpq" objs o name
  mkdir -p "$build" "$src/objects" "$prefix/include" "$prefix/lib"
  (cd "$build" && ../configure --host="$deps_cross" CC="$deps_cc" --with-ssl=openssl \
    --without-readline --without-zlib --without-icu --without-gssapi --without-ldap \
    CPPFLAGS="-I$ssl/include" LDFLAGS="-L$ssl/lib" LIBS="-lcrypt32 -lws2_32 -lgdi32")
  make -C "$build/src/backend" -j "$jobs" generated-headers
  make -C "$build/src/port" -j "$jobs" libpgport_shlib.a
  make -C "$build/src/common" -j "$jobs" libpgcommon_shlib.a
  # libpq's objects as its Makefile lists them, less the DLL's version resource.
  objs=$(make -s --no-print-directory -C "$dir" \
    --eval 'logwick-objects: ; @echo $(filter-out $(WIN32RES),$(OBJS))' logwick-objects)
  # shellcheck disable=SC2086
  make -C "$dir" -j "$jobs" $objs
  for name in "${libpq_pthread_names[@]}"; do
    echo "pthread_$name pq_pthread_$name"
  done >"$src/objects/renames"
  for o in $objs; do
    "$deps_cross-objcopy" --redefine-syms="$src/objects/renames" "$dir/$o" "$src/objects/$o"
  done
  # One archive of them all, made by ar's script mode in a folder of plain
  # names ('+' and ';' mean something to that mode).
  cp "$build/src/common/libpgcommon_shlib.a" "$build/src/port/libpgport_shlib.a" "$src/objects/"
  {
    echo "CREATE libpq.a"
    for o in $objs; do echo "ADDMOD $o"; done
    echo "ADDLIB libpgcommon_shlib.a"
    echo "ADDLIB libpgport_shlib.a"
    echo "SAVE"
    echo "END"
  } | (cd "$src/objects" && "$deps_cross-ar" -M)
  "$deps_cross-nm" "$src/objects/libpq.a" | grep ' T PQconnectdb$' >/dev/null
  mv "$src/objects/libpq.a" "$prefix/lib/libpq.a"
  cp "$src/src/interfaces/libpq/libpq-fe.h" "$src/src/interfaces/libpq/libpq-events.h" \
    "$src/src/include/postgres_ext.h" "$build/src/include/pg_config_ext.h" "$prefix/include/"
  cp "$src/COPYRIGHT" "$prefix/COPYRIGHT"
}
