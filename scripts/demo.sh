#!/usr/bin/env bash
# The main job end to end: a simulated panel on a pseudo-terminal, appearing as
# COM7, is read through the serial code with an automatic search; the event
# file is stored and filed into the panel history archive, the text report
# written and the list shown.
set -euo pipefail
build=${1:-build}
cli=$build/bin/logwick-cli
out=$build/demo
rm -rf "$out"
mkdir -p "$out"
export LOGWICK_PORTS_DIR=$out/ports

"$cli" simulate --as-com 7 --serial 700123 --events 300 --ring 123 --block 16 \
  >"$out/simulator.out" 2>"$out/simulator.err" &
sim=$!
trap 'kill -TERM $sim 2>/dev/null; wait $sim 2>/dev/null || true' EXIT
for _ in $(seq 200); do
  [ -s "$out/simulator.out" ] && break
  sleep 0.05
done
[ -s "$out/simulator.out" ] || { cat "$out/simulator.err" >&2; exit 1; }

echo "== simulated panel: $(cat "$out/simulator.err")"
# The simulated panel goes into an archive of the demo's own, not the user's.
echo "== logwick-cli read --port 7 -o $out/panel.t7kev --trace $out/read-trace.txt --archive $out/archive.sqlite"
"$cli" read --port 7 -o "$out/panel.t7kev" --trace "$out/read-trace.txt" --archive "$out/archive.sqlite"
echo
echo "== logwick-cli archive list --archive $out/archive.sqlite"
"$cli" archive list --archive "$out/archive.sqlite"
echo
echo "== logwick-cli export $out/panel.t7kev -o $out/panel.txt"
"$cli" export "$out/panel.t7kev" -o "$out/panel.txt"
echo
echo "== logwick-cli show $out/panel.t7kev (first 30 lines)"
"$cli" show "$out/panel.t7kev" | sed -n 1,30p

echo
env -u LOGWICK_PORTS_DIR "$(dirname "$0")/demo-gui.sh" "$build"
