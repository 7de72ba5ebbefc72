#!/usr/bin/env bash
# Synchronisation with a shared server on loopback: a throwaway PostgreSQL
# cluster listening on 127.0.0.1 with password logins (scram-sha-256, the
# password from a password file), run as "nobody" when run as root; then
# logwick-bench-sync and `logwick-cli archive sync` with nothing to do as a
# whole process (median of 7 runs). Appends "name: value unit" lines to
# $BENCH_SUMMARY.
set -euo pipefail
build=${1:-build-bench}
bin=$build/bin
summary=${BENCH_SUMMARY:-/dev/stdout}
[ -x "$bin/logwick-bench-sync" ] || { echo "no synchronisation in this build: skipped"; exit 0; }
pgbin=${LOGWICK_PG_BINDIR:-/usr/lib/postgresql/15/bin}
[ -x "$pgbin/initdb" ] || { echo "no PostgreSQL server binaries in $pgbin: skipped"; exit 0; }

work=$(mktemp -d)
as_server=()
if [ "$(id -u)" = 0 ]; then
  chown nobody "$work"
  as_server=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
stop() {
  "${as_server[@]}" "$pgbin/pg_ctl" -D "$work/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap stop EXIT

# A free port on loopback.
port=54320
while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done

"${as_server[@]}" "$pgbin/initdb" -D "$work/data" -U admin -A trust -E UTF8 --locale=C --no-sync \
  >"$work/initdb.log"
printf 'local all all trust\nhost all all 127.0.0.1/32 scram-sha-256\n' >"$work/data/pg_hba.conf"
"${as_server[@]}" "$pgbin/pg_ctl" -D "$work/data" -l "$work/server.log" -w \
  -o "-k $work -p $port -c listen_addresses=127.0.0.1" start >/dev/null
psql=("$pgbin/psql" -X -q -h "$work" -p "$port" -U admin -d postgres)
"${psql[@]}" -c "CREATE ROLE bench LOGIN SUPERUSER PASSWORD 'bench'" \
  -c "CREATE DATABASE bench OWNER bench" -c "CREATE DATABASE bench_many OWNER bench"

export PGPASSFILE=$work/pgpass
echo "127.0.0.1:$port:*:bench:bench" >"$PGPASSFILE"
chmod 600 "$PGPASSFILE"
url="postgresql://bench@127.0.0.1:$port/bench"
mkdir "$work/local"
"$bin/logwick-bench-sync" "$url" "postgresql://bench@127.0.0.1:$port/bench_many" "$work/local" |
  tee -a "$summary"

runs=()
for _ in 1 2 3 4 5 6 7; do
  start=$(date +%s%N)
  "$bin/logwick-cli" archive sync --server "$url" --archive "$work/local/second.sqlite" >/dev/null 2>&1
  end=$(date +%s%N)
  runs+=($(( (end - start) / 1000 )))
done
median=$(printf '%s\n' "${runs[@]}" | sort -n | sed -n 4p)
awk -v us="$median" \
  'BEGIN { printf "logwick-cli archive sync with nothing to do, whole process: %.1f ms\n", us / 1000 }' |
  tee -a "$summary"
