#!/usr/bin/env bash
# Serves a simulated panel (the Linux logwick-cli) on a pseudo-terminal and
# makes it COM port N of the Wine prefix, so that Windows programs reach it
# through the Win32 serial calls.
#   sim-line.sh start HOST_CLI STATE_DIR N [simulate options...]
#   sim-line.sh stop STATE_DIR          (every line started with STATE_DIR)
# Needs WINEPREFIX. Prints the pseudo-terminal's path on start.
set -euo pipefail

die() { echo "sim-line: $*" >&2; exit 1; }
[[ -n "${WINEPREFIX:-}" && -d "$WINEPREFIX/dosdevices" ]] || die "WINEPREFIX is not a Wine prefix"

# stop_lines STATE_DIR N...: ends the simulators (all at once: each takes a
# moment to let go of its terminal) and removes their links.
stop_lines() {
  local state=$1 n pid pids=()
  shift
  for n in "$@"; do
    if [[ -f "$state/com$n.pid" ]]; then
      pid=$(<"$state/com$n.pid")
      kill -TERM "$pid" 2>/dev/null && pids+=("$pid")
      rm -f "$state/com$n.pid"
    fi
  done
  for _ in $(seq 100); do
    local alive=0
    for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive=1; done
    [[ $alive -eq 0 ]] && break
    sleep 0.05
  done
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  for n in "$@"; do rm -f "$WINEPREFIX/dosdevices/com$n"; done
}

case "${1:-}" in
  start)
    [[ $# -ge 4 ]] || die "usage: $0 start HOST_CLI STATE_DIR N [options...]"
    host=$2 state=$3 n=$4
    shift 4
    [[ -x "$host" ]] || die "no Linux logwick-cli at $host"
    mkdir -p "$state"
    stop_lines "$state" "$n"
    out="$state/com$n.out"
    : >"$out"
    # The simulator makes itself the terminal's session leader and keeps its
    # own end open in raw mode, so Wine never adopts the line.
    "$host" simulate "$@" >"$out" 2>"$state/com$n.err" </dev/null &
    echo $! >"$state/com$n.pid"
    for _ in $(seq 100); do
      [[ -s "$out" ]] && break
      kill -0 "$(<"$state/com$n.pid")" 2>/dev/null || break
      sleep 0.05
    done
    pty=$(head -n 1 "$out")
    if [[ "$pty" != /dev/* ]]; then
      cat "$state/com$n.err" >&2 || true
      stop_lines "$state" "$n"
      die "the simulator did not start"
    fi
    # Wine opens COMn through this link at once; no registry, no restart.
    ln -sfn "$pty" "$WINEPREFIX/dosdevices/com$n"
    echo "$pty"
    ;;
  stop)
    [[ $# -ge 2 ]] || die "usage: $0 stop STATE_DIR"
    state=$2
    shopt -s nullglob
    numbers=()
    for f in "$state"/com*.pid; do
      n=${f##*/com}
      numbers+=("${n%.pid}")
    done
    [[ ${#numbers[@]} -eq 0 ]] || stop_lines "$state" "${numbers[@]}"
    ;;
  *) die "usage: $0 start|stop ..." ;;
esac
