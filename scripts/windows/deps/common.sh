# Sourced by scripts/windows/deps/build.sh: the cache of cross-built Windows
# libraries and the private apt configuration that fetches their Debian
# source packages.
#
# The cache ($LOGWICK_WINDOWS_DEPS, default ~/.cache/logwick/windows-deps)
# holds one folder per library and source version, e.g.
# sqlite3-3.40.1-2+deb12u2/{include,lib,ORIGIN}. A folder appears complete or
# not at all: each library is built in a temporary folder of the cache and
# renamed into place at the end.

deps_cache=${LOGWICK_WINDOWS_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/logwick/windows-deps}
deps_cross=x86_64-w64-mingw32
deps_cc=$deps_cross-gcc-posix

deps_say() { echo "windows-deps: $*" >&2; }
deps_die() { deps_say "$*"; exit 1; }

# The private apt set-up lives in $deps_work/apt: its own sources (deb-src
# beside every deb source of this machine, with the machine's Signed-By),
# state, lists and cache. The machine's apt configuration is never written.
deps_apt_dir() { echo "$deps_work/apt"; }

deps_apt() {
  local dir
  dir=$(deps_apt_dir)
  apt-get -q -o Dir::Etc::SourceList="$dir/sources.list" -o Dir::Etc::SourceParts="$dir/sources.list.d" \
    -o Dir::State="$dir/state" -o Dir::State::Lists="$dir/lists" -o Dir::State::status="$dir/status" \
    -o Dir::Cache="$dir/cache" "$@"
}
deps_apt_cache() {
  local dir
  dir=$(deps_apt_dir)
  apt-cache -o Dir::Etc::SourceList="$dir/sources.list" -o Dir::Etc::SourceParts="$dir/sources.list.d" \
    -o Dir::State="$dir/state" -o Dir::State::Lists="$dir/lists" -o Dir::State::status="$dir/status" \
    -o Dir::Cache="$dir/cache" "$@"
}

# The machine's deb sources turned into deb-src ones: one-line entries in
# sources.list, deb822 stanzas in sources.list.d/*.sources.
deps_write_sources() {
  local dir=$1 f
  mkdir -p "$dir/sources.list.d" "$dir/state" "$dir/lists/partial" "$dir/cache/archives/partial"
  : >"$dir/status"
  : >"$dir/sources.list"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f $f ]] || continue
    sed -n 's/^[[:space:]]*deb\([[:space:]]\)/deb-src\1/p' "$f" >>"$dir/sources.list"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f $f ]] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Enabled:[ \t]*no/ { next }
         /(^|\n)Types:[^\n]*[ \t]deb([ \t\n]|$)/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
      "$f" >"$dir/sources.list.d/${f##*/}"
  done
}

# Reads the signed source indices once per run.
deps_apt_ready=
deps_apt_update() {
  [[ -n $deps_apt_ready ]] && return 0
  local dir log
  dir=$(deps_apt_dir)
  log="$deps_work/logs/apt-update.log"
  deps_write_sources "$dir"
  if ! grep -qs deb-src "$dir/sources.list" "$dir/sources.list.d"/*; then
    deps_die "this machine's apt configuration names no Debian 'deb' source to take 'deb-src' from"
  fi
  deps_say "reading the Debian source indices (private apt set-up in $dir)"
  # apt-get update succeeds even when an index could not be read.
  if ! deps_apt update >"$log" 2>&1 || grep -qE '^(E: |W: Failed to fetch|W: Some index files)' "$log"; then
    cat "$log" >&2
    deps_die "could not read the Debian source indices (log: $log). Check the network connection and" \
      "the machine's apt sources, then run the same make command again (make test-windows);" \
      "nothing was put into the cache."
  fi
  deps_apt_ready=1
}

# Whole seconds of two times in seconds with decimals.
deps_sum() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%d", a + b + 0.5 }'; }

# The source version of an installed binary package (what the Linux build
# uses), or nothing.
deps_linux_version() {
  dpkg-query -W -f='${source:Version}' "$1" 2>/dev/null || true
}

# The versions of a source package in the index, newest first.
deps_index_versions() {
  local v sorted=() i
  while read -r v; do
    for ((i = 0; i < ${#sorted[@]}; i++)); do
      dpkg --compare-versions "$v" gt "${sorted[i]}" && break
    done
    sorted=("${sorted[@]:0:i}" "$v" "${sorted[@]:i}")
  done < <(deps_apt_cache showsrc "$1" 2>/dev/null | sed -n "/^Package: $1\$/,/^\$/s/^Version: //p" | sort -u)
  printf '%s\n' "${sorted[@]}"
}

# deps_fetch PKG VERSION DIR: the source package, checked by apt against the
# signed index, unpacked with its Debian patches applied into DIR/PKG-src.
deps_fetch() {
  local pkg=$1 version=$2 dir=$3 log="$deps_work/logs/$1-fetch.log"
  mkdir -p "$dir/fetch"
  # apt downloads as its sandbox user where it can.
  [[ $(id -u) -eq 0 ]] && id _apt >/dev/null 2>&1 && chown _apt "$dir/fetch"
  if ! (cd "$dir/fetch" && deps_apt source --download-only "$pkg=$version") >"$log" 2>&1; then
    return 1
  fi
  dpkg-source --no-check -x "$dir/fetch/${pkg}_${version#*:}.dsc" "$dir/$pkg-src" >>"$log" 2>&1 ||
    deps_die "could not unpack the source package $pkg $version (log: $log)"
}

# deps_choose_and_fetch PKG LINUX_VERSION DIR: fetches the version the Linux
# build uses when the index has it, else the index's newest (the next one
# when that cannot be fetched). Prints the version fetched.
deps_choose_and_fetch() {
  local pkg=$1 linux=$2 dir=$3 v versions=() tried=()
  mapfile -t versions < <(deps_index_versions "$pkg")
  [[ ${#versions[@]} -gt 0 ]] || deps_die "the Debian source index has no package $pkg"
  if [[ -n $linux ]] && printf '%s\n' "${versions[@]}" | grep -qxF -- "$linux"; then
    versions=("$linux")
  elif [[ -n $linux ]]; then
    deps_say "$pkg $linux (the Linux build's) is no longer in the index; taking the index's ${versions[0]}"
  fi
  for v in "${versions[@]}"; do
    tried+=("$v")
    if deps_fetch "$pkg" "$v" "$dir"; then
      echo "$v"
      return 0
    fi
    deps_say "could not fetch the source package $pkg $v:"
    grep -E '^(E|Err):' "$deps_work/logs/$pkg-fetch.log" | head -n 3 >&2 || true
    rm -rf "${dir:?}/fetch"
  done
  deps_die "could not fetch the source package $pkg (tried ${tried[*]}; log: $deps_work/logs/$pkg-fetch.log)." \
    "Check the network connection and deb.debian.org, then run the same make command again" \
    "(make test-windows); nothing was put into the cache."
}

# deps_ensure NAME SOURCE_PKG LINUX_BINARY_PKG KEY_SUFFIX RECIPE: makes sure the
# cache holds NAME built from SOURCE_PKG, and sets deps_prefix to its folder.
# The version the Linux build used is remembered with the choice made for it,
# so that a warm cache needs no network. RECIPE SRC PREFIX JOBS builds the
# unpacked source into PREFIX.
deps_ensure() {
  local name=$1 pkg=$2 binary=$3 suffix=$4 recipe=$5 linux choice version tmp started
  linux=$(deps_linux_version "$binary")
  choice="$deps_cache/.choice-$pkg-${linux:-none}"
  if [[ -f $choice ]]; then
    version=$(<"$choice")
    deps_prefix="$deps_cache/$name-${version//:/_}$suffix"
    if [[ -f $deps_prefix/ORIGIN ]]; then
      deps_say "$name $version: cached in $deps_prefix"
      return 0
    fi
  fi
  deps_apt_update
  started=$(date +%s)
  tmp=$(mktemp -d "$deps_cache/.build-$name.XXXXXX")
  # shellcheck disable=SC2064
  trap "rm -rf '$tmp'" EXIT
  version=$(deps_choose_and_fetch "$pkg" "$linux" "$tmp")
  deps_prefix="$deps_cache/$name-${version//:/_}$suffix"
  if [[ ! -f $deps_prefix/ORIGIN ]]; then
    deps_say "building $name from $pkg $version (log: $deps_work/logs/$name-build.log)"
    mkdir -p "$tmp/prefix"
    # In the background so that set -e holds inside (it does not in the
    # condition of an if).
    local log="$deps_work/logs/$name-build.log" wall user system
    (
      set -e
      TIMEFORMAT='times: %R %U %S'
      time "$recipe" "$tmp/$pkg-src" "$tmp/prefix" "$deps_jobs"
    ) >"$log" 2>&1 &
    if ! wait $!; then
      tail -n 25 "$log" >&2
      deps_die "building $name failed (log: $log); the cache is unchanged"
    fi
    read -r _ wall user system < <(grep '^times: ' "$log" | tail -n 1)
    {
      echo "library: $name"
      echo "source package: $pkg $version (Debian, fetched with apt-get source and checked against the signed index)"
      echo "from: $(sed -n "s/^Get:[0-9]* \(.*\) $pkg .*(dsc).*/\1/p" "$deps_work/logs/$pkg-fetch.log" | head -n 1)"
      echo "the Linux build uses: ${linux:-(not installed)}"
      echo "compiler: $($deps_cc --version | head -n 1)"
      echo "built: $(date -u +%Y-%m-%dT%H:%M:%SZ) in ${wall%.*} s (processor time $(deps_sum "$user" "$system") s)"
    } >"$tmp/prefix/ORIGIN"
    rm -rf "$deps_prefix"
    mv "$tmp/prefix" "$deps_prefix"
    deps_say "$name $version: fetched and built in $(($(date +%s) - started)) s (the build ${wall%.*} s," \
      "processor time $(deps_sum "$user" "$system") s), cached in $deps_prefix"
  fi
  echo "$version" >"$choice.tmp" && mv "$choice.tmp" "$choice"
  rm -rf "$tmp"
  trap - EXIT
}
