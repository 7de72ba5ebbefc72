#!/usr/bin/env bash
# Synchronisation with a shared server on loopback: a throwaway PostgreSQL
# cluster listening on 127.0.0.1 with password logins (scram-sha-256, the
# password from a password file), run as "nobody" when run as root; then
# logwick-bench-sync (1000 read-outs of 4096 events each way), `logwick-cli
# archive sync` with nothing to do as a whole process (median of 7 runs), the
# peak memory of a whole sync sending and fetching those 1000 read-outs, and
# of one that meets a 512 MiB read-out on the server (skipped unread).
# Appends "name: value unit" lines to $BENCH_SUMMARY.
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
  -c "CREATE DATABASE bench OWNER bench" -c "CREATE DATABASE bench_many OWNER bench" \
  -c "CREATE DATABASE bench_send OWNER bench"

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

# A whole process, timed, with its peak memory: "NAME: MS ms" and "NAME, peak memory: MB MB".
whole() {
  local name=$1 start end kib cpu
  shift
  start=$(date +%s%N)
  read -r kib cpu < <("$bin/logwick-peak-rss" "$@" 2>/dev/null | tail -1)
  end=$(date +%s%N)
  awk -v n="$name" -v us="$(((end - start) / 1000))" -v k="$kib" 'BEGIN {
    printf "%s, whole process: %.0f ms\n", n, us / 1000
    printf "%s, peak memory: %.1f MB\n", n, k / 1024
  }' | tee -a "$summary"
}
send_url="postgresql://bench@127.0.0.1:$port/bench_send"
"$bin/logwick-cli" archive server-init "$send_url" >/dev/null
whole "logwick-cli archive sync of 1000 read-outs of 4096 events into an empty server" \
  "$bin/logwick-cli" archive sync --server "$send_url" --archive "$work/local/first.sqlite"
whole "logwick-cli archive sync of 1000 read-outs of 4096 events into an empty local archive" \
  "$bin/logwick-cli" archive sync --server "$url" --archive "$work/local/fetched.sqlite"

# A read-out of 512 MiB (as a careless or hostile insert could leave on a
# server of an earlier version): listed with its size, skipped, never
# downloaded.
"${psql[@]}" -d bench -c "ALTER TABLE logwick.readout DROP CONSTRAINT readout_event_count" \
  -c "INSERT INTO logwick.readout (sha256, panel_type, serial, read_year, read_month, read_day, read_hour,
        read_min, read_sec, ver_major, ver_minor, rel_day, rel_month, rel_year, config_name, texts,
        event_count, events, origin, partial, filed_at)
      VALUES (decode(md5('a') || md5('b'), 'hex'), 1, 1, 2024, 1, 1, 0, 0, 0, 1, 0, 1, 1, 2020,
        decode(repeat('00', 17), 'hex'), '', 33554432, convert_to(repeat('x', 536870912), 'SQL_ASCII'),
        'huge.t7kev', false, now())" >/dev/null
whole "logwick-cli archive sync meeting a 512 MiB read-out on the server (skipped)" \
  "$bin/logwick-cli" archive sync --server "$url" --archive "$work/local/fetched.sqlite"
