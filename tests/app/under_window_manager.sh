#!/usr/bin/env bash
# Runs a test program on a private X server (Xvfb) under a window manager
# (openbox), where windows get frames and places as on a user's desktop.
# Exits 77 (skipped) where either is missing.
set -euo pipefail
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "$tool missing: skipped"; exit 77; }
done
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The server writes its display number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$(tr -d '\n' <"$work/display")

# The window manager runs its startup command once it manages windows.
HOME=$work openbox --startup "touch $work/managing" >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "$work/managing" ] && break; sleep 0.1; done
[ -e "$work/managing" ] || { cat "$work/openbox.log"; exit 1; }

# Under the sanitizers, the X libraries' own faults are not this program's:
# libxkbcommon-x11 hands strndup an unterminated keymap name and libdbus keeps
# a buffer to the end. Memory errors of the program are still caught.
if [[ -n ${ASAN_OPTIONS:-} ]]; then
  export ASAN_OPTIONS=$ASAN_OPTIONS:strict_string_checks=0:detect_leaks=0
fi
QT_QPA_PLATFORM=xcb "$@"
