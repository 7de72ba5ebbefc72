#!/usr/bin/env bash
# Pictures of every window of logwick.exe, taken under Wine on a virtual X
# server, as PNG files in docs/windows/ (make screenshots-windows); with
# "figures" instead, the event list's figures at the file limit as
# "name: value unit" lines (make bench-windows). Needs the Windows build of
# make test-windows.
# Usage: scripts/windows/screenshots.sh BUILD_DIR [pictures|figures]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
build=$(cd "${1:-build-windows}" && pwd)
what=${2:-pictures}
host="$build/host/bin/logwick-cli"
tool="$build/bin/window-pictures.exe"
[[ -x "$host" && -f "$tool" ]] || { echo "screenshots: build with make test-windows first" >&2; exit 1; }

work="$build/window-pictures"
rm -rf "$work"
mkdir -p "$work"
"$here/xvfb.sh" "$build" start
"$here/wine-prefix.sh" "$build" start
trap '"$here/wine-prefix.sh" "$build" stop; "$here/xvfb.sh" "$build" stop' EXIT
. "$here/wine-env.sh" "$build"

if [[ $what == figures ]]; then
  "$host" sample -o "$work/events.t7kev" --count 100000 >/dev/null
  wine "$tool" figures "$(winepath -w "$work/events.t7kev")" </dev/null
  exit
fi
"$host" sample -o "$work/events.t7kev" --count 2000 >/dev/null
# A panel for the reading dialog to read, slowly enough to be pictured.
port=27
"$here/sim-line.sh" start "$host" "$work/line" "$port" --events 3000 --block 8 --pace >/dev/null
trap '"$here/sim-line.sh" stop "$work/line"; "$here/wine-prefix.sh" "$build" stop; "$here/xvfb.sh" "$build" stop' EXIT
wine "$tool" pictures "$(winepath -w "$work")" "$(winepath -w "$work/events.t7kev")" "$port" </dev/null
mkdir -p "$src/docs/windows"
for bmp in "$work"/*.bmp; do
  png="$src/docs/windows/$(basename "${bmp%.bmp}").png"
  bmptopnm "$bmp" 2>/dev/null | pnmtopng -compression 9 >"$png" 2>/dev/null
  echo "$png"
done
