# Sourced by build.sh. OpenSSL: libcrypto and libssl, static, for libpq's TLS;
# no programs, tests or manuals.

# Debian's own choice of algorithms, less what a static Windows library
# cannot use (modules, the CryptoAPI engine).
openssl_options=(
  no-shared no-module no-tests no-idea no-mdc2 no-rc5 no-zlib no-ssl3 no-ssl3-method no-capieng
)

# recipe_openssl SOURCE PREFIX JOBS
recipe_openssl() {
  local src=$1 prefix=$2 jobs=$3
  mkdir -p "$src/cross" "$prefix/include/openssl" "$prefix/lib"
  (cd "$src/cross" && perl ../Configure mingw64 --cross-compile-prefix="$deps_cross-" CC=gcc-posix \
    "${openssl_options[@]}")
  # The folders the library looks in for its configuration and engines are
  # compiled in; on Windows they must be ones only an administrator can
  # write to (Configure would take /usr/local/ssl, i.e. C:\usr\local\ssl).
  make -C "$src/cross" -j "$jobs" build_libs \
    "OPENSSLDIR=C:/Program Files/Common Files/SSL" \
    "ENGINESDIR=C:/Program Files/OpenSSL/lib/engines-3" \
    "MODULESDIR=C:/Program Files/OpenSSL/lib/ossl-modules"
  cp "$src"/include/openssl/*.h "$src"/cross/include/openssl/*.h "$prefix/include/openssl/"
  cp "$src/cross/libcrypto.a" "$src/cross/libssl.a" "$prefix/lib/"
  cp "$src/LICENSE.txt" "$prefix/LICENSE.txt"
}
