#!/usr/bin/env bash
# Runs a test program on a private X server (Xvfb) under a window manager
# (openbox), where windows get frames and places as on a user's desktop.
# Exits 77 (skipped) where either is missing.
set -euo pipefail
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "$tool missing: skipped"; exit 77; }
done
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
# Waits up to ten seconds for the file $1 to hold something; shows the log $2 and fails if it never does.
await() {
  for _ in $(seq 100); do [ -s "$1" ] && return; sleep 0.1; done
  cat "$2"
  exit 1
}

# The server writes its display number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
await "$work/display" "$work/xvfb.log"
export DISPLAY=:$(tr -d '\n' <"$work/display")

# The window manager runs its startup command once it manages windows.
HOME=$work openbox --startup "cp $work/display $work/managing" >"$work/openbox.log" 2>&1 &
await "$work/managing" "$work/openbox.log"

# Under the sanitizers, the X libraries' own faults are not this program's:
# libxkbcommon-x11 hands strndup an unterminated keymap name and libdbus keeps
# a buffer to the end. Memory errors of the program are still caught.
if [[ -n ${ASAN_OPTIONS:-} ]]; then
  export ASAN_OPTIONS=$ASAN_OPTIONS:strict_string_checks=0:detect_leaks=0
fi
QT_QPA_PLATFORM=xcb "$@"
