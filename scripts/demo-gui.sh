#!/usr/bin/env bash
# Leaves a simulated panel running as COM port 7 and tells how to read it with
# the desktop program. Usage: scripts/demo-gui.sh [build folder]
set -euo pipefail
build=${1:-build}
cli=$build/bin/logwick-cli
gui=$build/bin/logwick
port=${LOGWICK_DEMO_COM:-7}
pidfile=$build/demo-panel.pid
logfile=$build/demo-panel.log

if [ ! -x "$gui" ]; then
  echo "demo-gui: $gui is not built (Qt 6 missing?); the desktop part is skipped"
  exit 0
fi
if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then
  echo "demo-gui: the simulated panel is already running (pid $(cat "$pidfile"))"
else
  nohup "$cli" simulate --as-com "$port" --events 1000 --pace >"$logfile" 2>&1 &
  echo $! >"$pidfile"
  for _ in $(seq 50); do [ -s "$logfile" ] && break; sleep 0.1; done
  if ! kill -0 "$(cat "$pidfile")" 2>/dev/null; then
    echo "demo-gui: the simulated panel did not start:" >&2
    cat "$logfile" >&2
    exit 1
  fi
  echo "demo-gui: simulated panel running on $(head -n1 "$logfile") as COM$port (pid $(cat "$pidfile"))"
fi
cat <<TEXT

Read it with the desktop program:
  1. start it:                      $gui
  2. menu "Сервис" -> "Настройка":  choose COM$port, leave "Авто" ticked, OK
  3. press "Прочитать из прибора"   (1000 events at 9600 baud take about half a minute)
Stop the simulated panel with:      kill \$(cat $pidfile)
TEXT
