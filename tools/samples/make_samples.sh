#!/bin/bash
# Regenerates the sample dump containers in examples/ from a throwaway PostgreSQL cluster.
#
# Installs Debian's postgresql package when it is missing (root only), starts a private cluster
# in a temporary directory (unix socket there, no TCP), fills it from tables.sql, lets
# write_samples.py dump each table into examples/, then stops and removes the cluster whatever
# happened. Running it twice gives the same files byte for byte.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out="$root/examples"

# Each sample: file stem, then the table as the server quotes it.
SAMPLES=(
    'customers=public.customers'
    'order_lines=sales."Order Lines"'
    'file_paths=public.file_paths'
    'odd_columns=public.odd_columns'
    'wide_metrics=public.wide_metrics'
    'audit_log=public.audit_log'
    'translations=public.translations'
)

# The newest installed server's own binaries, bypassing Debian's cluster wrappers.
pg_bindir() {
    local dir
    dir=$(printf '%s\n' /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
    [ -n "$dir" ] && [ -x "$dir/initdb" ] && [ -x "$dir/pg_dump" ] && echo "$dir"
}

if ! bindir=$(pg_bindir); then
    if [ "$(id -u)" -ne 0 ]; then
        echo "make_samples: PostgreSQL is not installed; run as root to install it" >&2
        exit 1
    fi
    echo "make_samples: installing postgresql"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends postgresql
    bindir=$(pg_bindir)
    # The package creates a "main" cluster and may start it; nothing of ours should keep running.
    version=$(basename "$(dirname "$bindir")")
    pg_ctlcluster "$version" main stop 2>/dev/null || true
fi

# initdb refuses to run as root, so as root the server runs as the postgres account.
as_server() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

tmp=$(mktemp -d /tmp/tavrin-samples.XXXXXX)
started=0
cleanup() {
    if [ "$started" -eq 1 ]; then
        as_server "$bindir/pg_ctl" -D "$tmp/data" -m fast -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

if [ "$(id -u)" -eq 0 ]; then chown postgres: "$tmp"; fi
as_server "$bindir/initdb" -D "$tmp/data" -U postgres -E UTF8 --no-locale -A trust -N >/dev/null
started=1
as_server "$bindir/pg_ctl" -D "$tmp/data" -l "$tmp/server.log" -w -s \
    -o "-c listen_addresses='' -c unix_socket_directories='$tmp' -c timezone=UTC -c fsync=off" \
    start || { cat "$tmp/server.log" >&2; exit 1; }

# Every client below reaches only this cluster, with the session settings pg_dump itself uses.
unset PGSERVICE PGSERVICEFILE PGPASSFILE PGSSLMODE PGHOSTADDR
export PATH="$bindir:$PATH"
export PGHOST="$tmp" PGPORT=5432 PGUSER=postgres PGDATABASE=samples
export PGCLIENTENCODING=UTF8 PGTZ=UTC
export PGOPTIONS="-c datestyle=ISO -c intervalstyle=postgres -c extra_float_digits=3"

createdb -T template0 -E UTF8 samples
psql -X -q -v ON_ERROR_STOP=1 -f "$here/tables.sql" >/dev/null

mkdir -p "$out"
python3 "$here/write_samples.py" "$out" "${SAMPLES[@]}"
