#!/usr/bin/env bash
# End-to-end read-out through the Win32 serial backend: the Linux build's
# simulator serves a pseudo-terminal that is COM port N under Wine; the Windows
# logwick-cli.exe reads it with --port N, the Linux logwick-cli reads the same
# simulator through the device path, and the two event files must be
# byte-identical. The Windows read-out is filed into an archive of its own,
# which the Linux logwick-cli then lists.
# Usage: e2e-read.sh HOST_CLI WINDOWS_CLI WORK_DIR   (needs WINEPREFIX)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
host=$1 win=$2 work=$3
port=21
serial=4660337

rm -rf "$work"
mkdir -p "$work"
export LOGWICK_ARCHIVE="$work/archive.sqlite"  # the Linux read-outs are filed here
trap '"$here/sim-line.sh" stop "$work"' EXIT
failures=0

# compare NAME "SIMULATE OPTIONS" "READ OPTIONS"
compare() {
  local name=$1 sim_opts=$2 read_opts=$3 pty
  # shellcheck disable=SC2086
  pty=$("$here/sim-line.sh" start "$host" "$work" "$port" $sim_opts)
  local started=$SECONDS
  # shellcheck disable=SC2086
  if ! wine "$win" read --port "$port" $read_opts -o "$work/$name-windows.t7kev" \
      --archive "$work/$name-windows.sqlite" >"$work/$name-windows.out" 2>"$work/$name-windows.log" </dev/null; then
    echo "$name: the Windows read-out failed:" >&2
    tail -n 5 "$work/$name-windows.log" >&2
    failures=$((failures + 1))
  fi
  local win_time=$((SECONDS - started))
  # shellcheck disable=SC2086
  "$host" read --device "$pty" $read_opts -o "$work/$name-linux.t7kev" 2>"$work/$name-linux.log" ||
    { echo "$name: the Linux read-out failed:" >&2; tail -n 5 "$work/$name-linux.log" >&2; }
  "$here/sim-line.sh" stop "$work"
  if cmp "$work/$name-windows.t7kev" "$work/$name-linux.t7kev"; then
    echo "$name: identical event files, $(stat -c %s "$work/$name-linux.t7kev") bytes" \
         "($(tail -n 1 "$work/$name-windows.log"); ${win_time} s under Wine)"
  else
    failures=$((failures + 1))
  fi
  if ! "$host" archive list --archive "$work/$name-windows.sqlite" | grep -P "^[^\t]*\t$serial\t" >/dev/null; then
    echo "$name: the Windows read-out was not filed:" >&2
    cat "$work/$name-windows.out" >&2
    failures=$((failures + 1))
  fi
}

# 9600 baud, the panel named, the reply bytes paced at the line's rate so the
# read loop sees them arrive piecemeal.
compare paced "--serial $serial --events 300 --ring 123 --block 16 --pace" "--serial $serial"
# ГАЗ mode (1200 baud, even parity) with the panel searched for.
compare gaz-search "--serial $serial --events 300 --ring 7 --block 8 --sample-texts 20" "--gaz"

exit $((failures > 0))
