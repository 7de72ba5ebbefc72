#!/usr/bin/env bash
# Creates the private Wine prefix of a build folder once (about 10 s, 700 MB)
# and starts or stops its wineserver.
# Usage: scripts/windows/wine-prefix.sh BUILD_DIR start|stop
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh" "$1"

case "${2:-start}" in
  start)
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
      echo "wine-prefix: creating $WINEPREFIX"
      mkdir -p "$WINEPREFIX"
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
    fi
    [[ -f "$WINEPREFIX/system.reg" ]] || { echo "wine-prefix: could not create $WINEPREFIX" >&2; exit 1; }
    # The system's list of DOS devices (QueryDosDeviceA) names a COM port only
    # when it is registered here and wineserver starts afresh. The tests expect
    # this one, on a device that is no serial line.
    listed=42  # tests/windows/CMakeLists.txt: listed_port
    if ! grep -q "^\"COM$listed\"=\"/dev/null\"" "$WINEPREFIX/system.reg"; then
      wine reg add 'HKLM\Software\Wine\Ports' /v "COM$listed" /d /dev/null /f </dev/null >/dev/null 2>&1
      wineserver -k 2>/dev/null || true
      wineserver -w
    fi
    # Marlett from Debian's fonts-wine where the prefix's programs find it: Wine
    # draws the caption buttons with it. (The dialogs' MS Sans Serif stays
    # the prefix's own: its other faces have no Cyrillic under a non-Cyrillic
    # code page, and Wine then falls back to a system font that has.)
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [[ -f /usr/share/wine/fonts/marlett.ttf && ! -f "$fonts/marlett.ttf" ]]; then
      cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    fi
    # Windows open on a virtual desktop of their own, so Wine draws their
    # frames and captions itself (there is no window manager on the X server).
    if ! grep -q '^"Default"="1280x1024"' "$WINEPREFIX/user.reg"; then
      wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f </dev/null >/dev/null 2>&1
      wineserver -k 2>/dev/null || true
      wineserver -w
    fi
    # A persistent server, warmed up by one trivial program, before CTest
    # starts: otherwise Wine's services inherit CTest's output pipe and each
    # test waits for them to let go of it.
    wineserver -p </dev/null >/dev/null 2>&1 || true  # already running
    wine cmd /c exit </dev/null >/dev/null 2>&1
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 BUILD_DIR start|stop" >&2; exit 2 ;;
esac
