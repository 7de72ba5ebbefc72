#!/usr/bin/env bash
# The throwaway PostgreSQL 15 cluster of the Windows tests under Wine, on the
# Linux side (tests/sync/pg_test_cluster_wine.cpp): TCP on the loopback only,
# TLS with a certificate authority made for it (and a second authority that
# signed nothing of it, for the refusals), scram passwords for the user
# "engineer", the superuser "admin" trusted over TLS from the loopback. Run as
# "nobody" when started by root, like the Linux tests' own cluster.
#   pg-cluster.sh init DIR            makes it in the empty folder DIR, starts
#                                     it and prints its port
#   pg-cluster.sh start|stop|crash DIR
#   pg-cluster.sh remove DIR          stops it and removes DIR
# DIR/control runs this script for DIR: the tests under Wine call it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=${1:-} dir=${2:-}
[[ -n $action && -n $dir ]] || { echo "usage: $0 init|start|stop|crash|remove DIR" >&2; exit 2; }

bin=${LOGWICK_PG_BINDIR:-/usr/lib/postgresql/15/bin}
die() { echo "pg-cluster: $*" >&2; exit 1; }

# Runs a command as the server's account.
as_server() {
  if [[ $(id -u) -eq 0 ]]; then
    setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups "$@"
  else
    "$@"
  fi
}

# The server must not inherit the lock (descriptor 9).
pg_ctl() { as_server "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" "$@" >/dev/null 9>&-; }

# A certificate authority: NAME.key and NAME.crt.
make_ca() {
  openssl req -x509 -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 7 \
    -subj "/CN=Logwick test authority $1" -keyout "$dir/$1.key" -out "$dir/$1.crt" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
}

init() {
  [[ -x $bin/initdb ]] || die "no PostgreSQL server in $bin: install postgresql-15 (scripts/install-deps.sh core)"
  make_ca ca
  make_ca other-ca
  openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj /CN=localhost \
    -keyout "$dir/server.key" -out "$dir/server.csr" 2>/dev/null
  openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.crt" -CAkey "$dir/ca.key" -CAcreateserial -days 7 \
    -extfile <(printf 'subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\n') \
    -out "$dir/server.crt" 2>/dev/null
  chmod 600 "$dir/server.key"
  [[ $(id -u) -eq 0 ]] && chown nobody "$dir" "$dir/server.key"
  as_server "$bin/initdb" -D "$dir/data" -U admin -A trust -E UTF8 --locale=C --no-sync --no-instructions \
    >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; die "initdb failed"; }
  cat >"$dir/data/pg_hba.conf" <<EOF
local all all trust
hostssl all engineer 127.0.0.1/32 scram-sha-256
hostssl all all 127.0.0.1/32 trust
EOF
  # Durability is of no use to a throwaway cluster.
  cat >>"$dir/data/postgresql.conf" <<EOF
listen_addresses = '127.0.0.1'
unix_socket_directories = '$dir'
ssl = on
ssl_cert_file = '$dir/server.crt'
ssl_key_file = '$dir/server.key'
fsync = off
synchronous_commit = off
full_page_writes = off
shared_buffers = 16MB
max_connections = 30
EOF
  # shellcheck disable=SC2016  # $1 is the control script's own argument
  printf '#!/bin/sh\nexec "%s" "$1" "%s"\n' "$here/pg-cluster.sh" "$dir" >"$dir/control"
  chmod +x "$dir/control"
  # A free port: the first of a few that the server can listen on.
  local port
  for port in $((20000 + RANDOM % 20000)) $((20000 + RANDOM % 20000)) $((20000 + RANDOM % 20000)); do
    echo "port = $port" >"$dir/data/postgresql.auto.conf"
    if pg_ctl -w start; then
      echo "$port"
      return
    fi
  done
  cat "$dir/server.log" >&2
  die "the server did not start"
}

# The tests' requests come one at a time, but a start may follow a stop that
# is still shutting the server down.
[[ $action == init ]] && mkdir -p "$dir"
[[ -d $dir ]] || die "no cluster in $dir"
exec 9>>"$dir/control.lock"
flock 9
# start, stop and crash leave DIR/control.done with the action and its exit
# status: Wine does not wait for a Linux program it started, the tests wait for
# that file.
done_with() {
  local rc=0
  "$@" || rc=$?
  echo "$action $rc" >"$dir/control.done.new" && mv "$dir/control.done.new" "$dir/control.done"
  return $rc
}
case "$action" in
  init) init ;;
  start) done_with pg_ctl -w start ;;
  stop) done_with pg_ctl -w -m fast stop ;;
  crash) done_with pg_ctl -w -m immediate stop ;;
  remove)
    [[ -f $dir/data/postmaster.pid ]] && { pg_ctl -w -m immediate stop || true; }
    rm -rf "$dir"
    ;;
  *) die "unknown action $action" ;;
esac
