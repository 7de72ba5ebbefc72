#!/usr/bin/env bash
# Installs the Debian packages a target needs, only those that are missing.
# Usage: scripts/install-deps.sh core|gui|fuzz|coverage|windows|package ...
set -euo pipefail

declare -A SETS=(
  [core]="cmake make g++ libgtest-dev libgmock-dev googletest libbenchmark-dev libcli11-dev libssl-dev
          python3 libsqlite3-dev libpq-dev postgresql-15 openssl bash-completion"
  [gui]="qt6-base-dev libgl-dev libxcb1-dev pkg-config xvfb openbox fonts-dejavu-core shared-mime-info
         desktop-file-utils xdg-utils libfile-mimeinfo-perl qt6-translations-l10n"
  [fuzz]="clang libclang-rt-14-dev"
  [windows]="g++-mingw-w64-x86-64 wine wine64 fonts-wine xvfb netpbm dpkg-dev tcl perl make bzip2 xz-utils openssl nsis"
  [coverage]="gcovr"
  [package]="dpkg-dev help2man librsvg2-bin lintian man-db file"
)

wanted=()
for set in "$@"; do
  [[ -n "${SETS[$set]+x}" ]] || { echo "install-deps: unknown set '$set'" >&2; exit 2; }
  for pkg in ${SETS[$set]}; do wanted+=("$pkg"); done
done

missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}"
SUDO=""
[[ $(id -u) -ne 0 ]] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
