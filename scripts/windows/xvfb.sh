#!/usr/bin/env bash
# Starts or stops the virtual X server on which Wine shows the desktop
# program's windows during the Windows tests; its display is kept in
# BUILD_DIR/xvfb.display for scripts/windows/wine-env.sh.
# Usage: scripts/windows/xvfb.sh BUILD_DIR start|stop
set -euo pipefail
mkdir -p "$1"
build=$(cd "$1" && pwd)
state="$build/xvfb"

case "${2:-start}" in
  start)
    if [[ -f "$state.pid" ]] && kill -0 "$(<"$state.pid")" 2>/dev/null; then exit 0; fi
    command -v Xvfb >/dev/null || { echo "xvfb: Xvfb is missing (scripts/install-deps.sh windows)" >&2; exit 1; }
    # The first free display from :90 on.
    n=90
    while [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$state.log" 2>&1 </dev/null &
    echo $! >"$state.pid"
    for _ in $(seq 100); do
      [[ -e /tmp/.X11-unix/X$n ]] && break
      sleep 0.05
    done
    [[ -e /tmp/.X11-unix/X$n ]] || { cat "$state.log" >&2; exit 1; }
    echo ":$n" >"$state.display"
    ;;
  stop)
    if [[ -f "$state.pid" ]]; then
      kill "$(<"$state.pid")" 2>/dev/null || true
      rm -f "$state.pid" "$state.display"
    fi
    ;;
  *) echo "usage: $0 BUILD_DIR start|stop" >&2; exit 2 ;;
esac
