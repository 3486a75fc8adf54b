#!/bin/bash
# Regenerates the sample dump containers in examples/ from a throwaway PostgreSQL cluster.
#
# Starts a throwaway cluster (tools/pg_cluster.sh; it installs Debian's postgresql package when
# missing, as root), fills it from tables.sql, lets write_samples.py dump each table into
# examples/; the cluster is stopped and removed whatever happened. Running it twice gives the
# same files byte for byte.
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

. "$root/tools/pg_cluster.sh"
pg_cluster_start samples
psql -X -q -v ON_ERROR_STOP=1 -f "$here/tables.sql" >/dev/null

mkdir -p "$out"
python3 "$here/write_samples.py" "$out" "${SAMPLES[@]}"
