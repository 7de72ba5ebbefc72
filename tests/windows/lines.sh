#!/usr/bin/env bash
# CTest fixture of the Win32 port tests: three simulated panels as COM ports
# of the Wine prefix (a plain one, also linked as COM1; one that never answers
# discovery; one paced at the line's baud rate).
# Usage: lines.sh start HOST_CLI STATE_DIR PANEL SILENT PACED SERIAL
#        lines.sh stop STATE_DIR
set -euo pipefail
line="$(cd "$(dirname "$0")/../../scripts/windows" && pwd)/sim-line.sh"
panel=(--events 40 --ring 7 --block 4 --text Один --text Два)
case "$1" in
  start)
    host=$2 state=$3 serial=$7
    "$line" start "$host" "$state" "$4" --serial "$serial" "${panel[@]}"
    ln -sfn "$(readlink "$WINEPREFIX/dosdevices/com$4")" "$WINEPREFIX/dosdevices/com1"
    "$line" start "$host" "$state" "$5" --serial "$serial" "${panel[@]}" --silent-on discover
    "$line" start "$host" "$state" "$6" --serial "$serial" "${panel[@]}" --pace
    ;;
  stop)
    "$line" stop "$2"
    # Wine puts its own COM1 link back when the prefix next starts.
    rm -f "$WINEPREFIX/dosdevices/com1"
    ;;
esac
