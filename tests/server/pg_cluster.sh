#!/bin/sh
# The throw-away PostgreSQL 15 cluster of the server tests and benchmarks, on a
# socket in its own folder (named in STATE) and on 127.0.0.1:PORT if given. As root
# it runs as nobody; its administrator is trusted: only this machine reaches it.
set -eu
BIN=${HOURLOOM_PG_BIN:-/usr/lib/postgresql/15/bin}
state=$(readlink -f "$2")
self=$(readlink -f "$0")
cd /tmp

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}
control() {
    [ -f "$state" ] || exit 0
    as_owner "$BIN/pg_ctl" -D "$(head -n 1 "$state")/data" -w -t 60 -m fast "$@" >/dev/null
}

case "$1" in
start)
    # A cluster left behind by an interrupted run goes first.
    [ -f "$state" ] && sh "$self" stop "$state"
    if [ ! -x "$BIN/initdb" ]; then
        echo "skipped: no PostgreSQL server binaries at $BIN (package postgresql-15)"
        exit 0
    fi
    dir=$(mktemp -d /tmp/hourloom-pg.XXXXXX)
    [ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$dir"
    listen="''" port=${3:-5432}
    [ $# -ge 3 ] && listen=127.0.0.1
    as_owner "$BIN/initdb" -D "$dir/data" -U hourloom_admin -A trust -E UTF8 --locale=C.UTF-8 \
        >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log"; exit 1; }
    as_owner "$BIN/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-k $dir -c listen_addresses=$listen -p $port -c max_connections=150" start >/dev/null \
        || { cat "$dir/server.log"; exit 1; }
    printf '%s\n%s\n' "$dir" "$port" >"$state"
    echo "PostgreSQL started in $dir"
    ;;
restart) control restart ;;
stop)
    control stop || true
    rm -rf "$(head -n 1 "$state")" "$state"
    ;;
*) echo "usage: $0 start|restart|stop STATE [PORT]" >&2; exit 2 ;;
esac
