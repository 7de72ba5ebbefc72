#!/usr/bin/env bash
# The setup program as a user meets it, in a fresh Wine prefix of its own
# (BUILD_DIR/wine-setup, removed at the end), once per user (/CurrentUser) and once as the account
# Wine runs it as: a silent install; the installed logwick-cli run from the
# install folder with no DLL beside it but the system's (--version, sample,
# show, archive add, list and sync); the .t7kev type and the "Programs and Features"
# entry in the registry; a silent uninstall that leaves no file and no key of
# the installer behind, and the user's archive where it was.
# Usage: scripts/windows/installer-test.sh BUILD_DIR SETUP_EXE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
setup=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
. "$here/wine-env.sh" "$build"
export WINEPREFIX="$build/wine-setup"
unset LOGWICK_ARCHIVE LOGWICK_SERVER
failures=0
fail() { echo "installer-test: $*" >&2; failures=$((failures + 1)); }
quietly() { "$@" </dev/null 2>/dev/null; }

wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
quietly wineboot -i >/dev/null || true
wineserver -w
drive=$WINEPREFIX/drive_c
profile=$(find "$drive/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
work=$(mktemp -d "$build/setup-test.XXXXXX")
cd "$work"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work" "$WINEPREFIX"' EXIT
wine_work=$(quietly winepath -w "$work")
archive="$profile/AppData/Local/Ormet/Logwick/archive.sqlite"

# What lies on the C: drive and in the registry, less what Wine itself keeps
# changing (its own folder, temporary files, the registry's time stamps).
snapshot() {
  wineserver -w
  (cd "$drive" && find . -path ./windows -prune -o -path '*/Temp' -prune -o -path "*/Ormet" -prune -o -print)
  sed -n 's/^\(\[[^]]*\]\).*/\1/p' "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg" | grep -v '^\[Software\\\\Wine' || true
}

cli() { quietly wine "$instdir\\logwick-cli.exe" "$@"; }

# check_install SWITCHES...: one install and uninstall, with SWITCHES.
check_install() {
  local before after root where
  before=$(snapshot | sort)
  quietly wine "$setup" /S "$@" || fail "the setup program failed ($*)"
  wineserver -w
  if [[ -f "$profile/AppData/Local/Programs/Logwick/logwick-cli.exe" ]]; then
    where="$profile/AppData/Local/Programs/Logwick" root=HKCU
  elif [[ -f "$drive/Program Files/Logwick/logwick-cli.exe" ]]; then
    where="$drive/Program Files/Logwick" root=HKLM
  else
    fail "nothing installed ($*)"
    return
  fi
  instdir=$(quietly winepath -w "$where")
  echo "installer-test: installed ($* ${root}) in $instdir"
  [[ $# -eq 0 || $root == HKCU ]] || fail "/CurrentUser installed for all users"

  # Every DLL the installed programs import comes with Windows.
  local exe dll
  for exe in "$where"/*.exe; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p'); do
      [[ -f "$drive/windows/system32/${dll,,}" ]] || fail "${exe##*/} needs $dll, which Windows does not have"
    done
  done

  # The installed command line, started from a folder of its own.
  local tab=$'\t'
  cli --version | grep "^logwick-cli $expected_version" >/dev/null || fail "--version"
  cli sample -o "$wine_work\\sample.t7kev" --count 50 --seed 3 || fail "sample"
  cli show "$wine_work\\sample.t7kev" | grep "^Список событий прибора Тарвел" >/dev/null || fail "show"
  cli archive add "$wine_work\\sample.t7kev" | grep "50 new events" >/dev/null || fail "archive add"
  cli archive list | grep "${tab}50${tab}1${tab}" >/dev/null || fail "archive list"
  [[ -f $archive ]] || fail "the archive is not at %LOCALAPPDATA%\\Ormet\\Logwick\\archive.sqlite"
  # archive sync runs the installed helper, which names the server it cannot find.
  { wine "$instdir\\logwick-cli.exe" archive sync --server "host=logwick-no-such-host.invalid dbname=x" \
      </dev/null 2>&1 || true; } |
    grep "не найден: неизвестное имя узла" >/dev/null || fail "archive sync (its helper program)"

  local type command entry
  type=$(quietly wine reg query 'HKCU\Software\Classes\.t7kev' /ve) || true
  command=$(quietly wine reg query 'HKCU\Software\Classes\Ormet.T7kLogwick\shell\open\command' /ve) || true
  entry=$(quietly wine reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Logwick" /v DisplayVersion) || true
  [[ $type == *Ormet.T7kLogwick* ]] || fail ".t7kev is not registered: $type"
  [[ $command == *'.EXE" '*'"%1"'* || $command == *'.exe" '*'"%1"'* ]] || fail "the open command: $command"
  [[ $entry == *"$expected_version"* ]] || fail "no Programs and Features entry with the version: $entry"
  compgen -G "$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Logwick*.lnk" >/dev/null ||
    compgen -G "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Logwick*.lnk" >/dev/null ||
    fail "no Start-menu entry"

  quietly wine "$instdir\\uninstall.exe" /S || fail "the uninstaller failed"
  wineserver -w
  after=$(snapshot | sort)
  if [[ $before != "$after" ]]; then
    fail "the uninstaller left behind (+) or removed (-):"
    diff <(echo "$before") <(echo "$after") | sed -n 's/^>/+/p; s/^</-/p' >&2
  fi
  [[ -f $archive ]] || fail "the uninstaller removed the user's archive"
  rm -rf "$profile/AppData/Local/Ormet"
}

expected_version=$(basename "$setup" | sed 's/^logwick-\(.*\)-setup\.exe$/\1/')
check_install /CurrentUser
check_install
[[ $failures -eq 0 ]] && echo "installer-test: installed, ran, registered and uninstalled cleanly"
exit $((failures > 0))
