#!/bin/bash
# A throwaway PostgreSQL cluster for the scripts that ask the server for fixtures: source this file
# from a bash script, then call pg_cluster_start; every client afterwards (psql, pg_dump,
# createdb) reaches only that cluster, with the session settings pg_dump itself uses. The cluster
# lives in a temporary directory (unix socket only, no TCP) and is stopped and removed when the
# script exits, whatever happened.
#
# Installs Debian's postgresql package when it is missing (root only). The tests never need a
# server: what the scripts ask of it is committed beside them.

# The newest installed server's own binaries, bypassing Debian's cluster wrappers.
pg_bindir() {
    local dir
    dir=$(printf '%s\n' /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
    [ -n "$dir" ] && [ -x "$dir/initdb" ] && [ -x "$dir/pg_dump" ] && echo "$dir"
}

# initdb refuses to run as root, so as root the server runs as the postgres account.
pg_as_server() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

pg_cluster_stop() {
    if [ "${PG_CLUSTER_STARTED:-0}" -eq 1 ]; then
        pg_as_server "$PG_BINDIR/pg_ctl" -D "$PG_CLUSTER_DIR/data" -m fast -w stop >/dev/null 2>&1 || true
        PG_CLUSTER_STARTED=0
    fi
    [ -n "${PG_CLUSTER_DIR:-}" ] && rm -rf "$PG_CLUSTER_DIR"
    PG_CLUSTER_DIR=
}

# Starts the cluster and creates database $1 (UTF8, C locale).
pg_cluster_start() {
    local db=$1
    if ! PG_BINDIR=$(pg_bindir); then
        if [ "$(id -u)" -ne 0 ]; then
            echo "pg_cluster: PostgreSQL is not installed; run as root to install it" >&2
            exit 1
        fi
        echo "pg_cluster: installing postgresql" >&2
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -q
        apt-get install -y -q --no-install-recommends postgresql
        PG_BINDIR=$(pg_bindir)
        # The package creates a "main" cluster and may start it; nothing of ours keeps running.
        local version
        version=$(basename "$(dirname "$PG_BINDIR")")
        pg_ctlcluster "$version" main stop 2>/dev/null || true
    fi
    PG_CLUSTER_DIR=$(mktemp -d /tmp/tavrin-pg.XXXXXX)
    PG_CLUSTER_STARTED=0
    trap pg_cluster_stop EXIT
    trap 'exit 1' INT TERM HUP
    if [ "$(id -u)" -eq 0 ]; then chown postgres: "$PG_CLUSTER_DIR"; fi
    pg_as_server "$PG_BINDIR/initdb" -D "$PG_CLUSTER_DIR/data" -U postgres -E UTF8 --no-locale \
        -A trust -N >/dev/null
    PG_CLUSTER_STARTED=1
    pg_as_server "$PG_BINDIR/pg_ctl" -D "$PG_CLUSTER_DIR/data" -l "$PG_CLUSTER_DIR/server.log" -w -s \
        -o "-c listen_addresses='' -c unix_socket_directories='$PG_CLUSTER_DIR' -c timezone=UTC -c fsync=off" \
        start || { cat "$PG_CLUSTER_DIR/server.log" >&2; exit 1; }

    unset PGSERVICE PGSERVICEFILE PGPASSFILE PGSSLMODE PGHOSTADDR
    export PATH="$PG_BINDIR:$PATH"
    export PGHOST="$PG_CLUSTER_DIR" PGPORT=5432 PGUSER=postgres PGDATABASE="$db"
    export PGCLIENTENCODING=UTF8 PGTZ=UTC
    export PGOPTIONS="-c datestyle=ISO -c intervalstyle=postgres -c extra_float_digits=3"
    createdb -T template0 -E UTF8 "$db"
}
