#!/usr/bin/env bash
# CTest fixture of the Win32 port tests and the desktop program's readings:
# simulated panels linked as COM ports of the Wine prefix.
# Usage: lines.sh start HOST_CLI STATE_DIR PANEL SILENT PACED SERIAL READING
#        lines.sh stop STATE_DIR
set -euo pipefail
line="$(cd "$(dirname "$0")/../../scripts/windows" && pwd)/sim-line.sh"
if [ "$1" = stop ]; then exec "$line" stop "$2"; fi
start=("$line" start "$2" "$3") panel=(--serial "$7" --events 40 --ring 7 --block 4 --text Один --text Два)
"${start[@]}" "$4" "${panel[@]}"
"${start[@]}" "$5" "${panel[@]}" --silent-on discover
"${start[@]}" "$6" "${panel[@]}" --pace
"${start[@]}" "$8" --events 300 --ring 41 --block 8 --pace
