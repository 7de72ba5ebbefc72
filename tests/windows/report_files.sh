#!/usr/bin/env bash
# The files logwick.exe writes through its dialogs under Wine (window-pictures.exe files) must be
# byte for byte those the Linux logwick-cli writes for the same event file.
# Usage: report_files.sh HOST_CLI WINDOW_PICTURES_EXE WORK_DIR   (needs WINEPREFIX, DISPLAY)
set -euo pipefail
host=$1 driver=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
"$host" sample -o "$work/sample.t7kev" --count 800 --seed 3 >/dev/null
wine "$driver" files "$(winepath -w "$work")" "$(winepath -w "$work/sample.t7kev")" </dev/null
failures=0
same() { cmp "$1" "$2" && echo "$(basename "$1"): as the Linux build's ($(stat -c %s "$1") bytes)" || failures=$((failures + 1)); }
same "$work/saved.t7kev" "$work/sample.t7kev"
for form in txt csv jsonl html; do
  "$host" export "$work/sample.t7kev" --format "$form" -o "$work/linux-all.$form"
  same "$work/all.$form" "$work/linux-all.$form"
done
"$host" export "$work/sample.t7kev" --filtered --no-messages --no-modes --beams 0-3 -o "$work/linux-shown.txt"
same "$work/shown.txt" "$work/linux-shown.txt"
exit $((failures > 0))
