#!/usr/bin/env bash
# A throwaway PostgreSQL 15 server for the tests of the server book.
#   pgserver.sh start DIR   makes a fresh cluster in DIR/data (trust, Unix socket only, no
#                           fsync), starts it and writes its address to DIR/pgaddress:
#                           postgresql:///qmtest?host=SOCKETDIR&user=qmtest
#   pgserver.sh stop DIR    stops it and removes DIR.
#   pgserver.sh halt DIR    stops it at once, as a power cut or a crash would, keeping DIR;
#   pgserver.sh resume DIR  starts it again on the same data.
# Run as root (as CI does), the cluster belongs to the user postgres: initdb refuses root.
# A server a previous run left behind in DIR is stopped first.
set -euo pipefail
mode=${1:-}
dir=${2:-}
case "$mode" in start|stop|halt|resume) ;; *) mode="" ;; esac
if [ -z "$dir" ] || [ -z "$mode" ]; then
  echo "usage: pgserver.sh start|stop|halt|resume DIR" >&2
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

# The cluster lives in DIR, or in a folder of its own in /tmp (named in DIR/serverhome) when
# DIR's path is too long for a socket or the user postgres may not pass through to it.
home_of() {
  if [ -f "$dir/serverhome" ]; then cat "$dir/serverhome"; else echo "$dir"; fi
}

stop_server() {
  local home
  home=$(home_of)
  if [ -f "$home/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$home/data" -m immediate -w -t 20 stop >/dev/null 2>&1 || true
  fi
  [ "$home" != "$dir" ] && rm -rf "$home"
  rm -rf "$dir"
}

if [ "$mode" = stop ]; then
  stop_server
  exit 0
fi
if [ "$mode" = halt ]; then
  as_owner "$bin/pg_ctl" -D "$(home_of)/data" -m immediate -w -t 20 stop >/dev/null
  exit 0
fi
if [ "$mode" = resume ]; then
  as_owner "$bin/pg_ctl" -D "$(home_of)/data" -l "$(home_of)/server.log" -w -t 30 start >/dev/null
  exit 0
fi

stop_server
mkdir -p "$dir"
home=$dir
if [ ${#dir} -gt 80 ] || { [ "$(id -u)" -eq 0 ] && ! runuser -u postgres -- test -x "$dir"; }; then
  home=$(mktemp -d /tmp/qmpg.XXXXXX)
  echo "$home" >"$dir/serverhome"
fi
if [ "$(id -u)" -eq 0 ]; then
  chown postgres: "$home"
fi
as_owner "$bin/initdb" -D "$home/data" -U qmtest -A trust -E UTF8 --no-locale --no-sync \
  >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
cat >>"$home/data/postgresql.conf" <<CONF
listen_addresses = ''
unix_socket_directories = '$home'
port = 5432
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 40
shared_buffers = 16MB
CONF
as_owner "$bin/pg_ctl" -D "$home/data" -l "$home/server.log" -w -t 30 start >/dev/null \
  || { cat "$home/server.log" >&2; exit 1; }
as_owner "$bin/createdb" -h "$home" -U qmtest qmtest
echo "postgresql:///qmtest?host=$home&user=qmtest" >"$dir/pgaddress"
chmod a+r "$dir/pgaddress"
echo "PostgreSQL test server at $home"
