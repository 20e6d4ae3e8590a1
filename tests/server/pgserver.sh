#!/usr/bin/env bash
# A throwaway PostgreSQL 15 server for the tests of the server book.
#   pgserver.sh start DIR   makes a fresh cluster in DIR/data (trust, Unix socket only, no
#                           fsync), starts it and writes its address to DIR/pgaddress:
#                           postgresql:///qmtest?host=SOCKETDIR&user=qmtest
#   pgserver.sh stop DIR    stops it and removes DIR.
# Run as root (as CI does), the cluster belongs to the user postgres: initdb refuses root.
# A server a previous run left behind in DIR is stopped first.
set -euo pipefail
mode=${1:-}
dir=${2:-}
if [ -z "$dir" ] || { [ "$mode" != start ] && [ "$mode" != stop ]; }; then
  echo "usage: pgserver.sh start|stop DIR" >&2
  exit 2
fi
bin=${QM_PG_BIN:-/usr/lib/postgresql/15/bin}
if [ ! -x "$bin/initdb" ]; then
  echo "PostgreSQL 15 is not installed ($bin/initdb): apt-get install postgresql-15" >&2
  exit 1
fi
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

stop_server() {
  if [ -f "$dir/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w -t 20 stop >/dev/null 2>&1 || true
  fi
  # A socket folder of its own outside DIR (when DIR's path is too long for a socket).
  if [ -f "$dir/socketdir" ]; then
    rm -rf "$(cat "$dir/socketdir")"
  fi
  rm -rf "$dir"
}

if [ "$mode" = stop ]; then
  stop_server
  exit 0
fi

stop_server
mkdir -p "$dir"
# A Unix socket's path is at most 107 bytes: a long build path gets a short folder in /tmp.
sockets=$dir
if [ ${#dir} -gt 80 ]; then
  sockets=$(mktemp -d /tmp/qmpg.XXXXXX)
  echo "$sockets" >"$dir/socketdir"
fi
if [ "$(id -u)" -eq 0 ]; then
  chown postgres: "$dir" "$sockets"
  # The build folder may be private to root: the server only needs to pass through it.
  p=$dir
  while [ "$p" != / ]; do
    p=$(dirname "$p")
    runuser -u postgres -- test -x "$p" || chmod o+x "$p"
  done
fi
as_owner "$bin/initdb" -D "$dir/data" -U qmtest -A trust -E UTF8 --no-locale --no-sync \
  >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
cat >>"$dir/data/postgresql.conf" <<CONF
listen_addresses = ''
unix_socket_directories = '$sockets'
port = 5432
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 40
shared_buffers = 16MB
CONF
as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 start >/dev/null \
  || { cat "$dir/server.log" >&2; exit 1; }
as_owner "$bin/createdb" -h "$sockets" -U qmtest qmtest
echo "postgresql:///qmtest?host=$sockets&user=qmtest" >"$dir/pgaddress"
chmod a+r "$dir/pgaddress"
echo "PostgreSQL test server at $sockets"
