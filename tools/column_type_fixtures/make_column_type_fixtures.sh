#!/bin/bash
# Asks pg_dump how it writes a table whose column and type names are the words the reader of
# CREATE TABLE treats specially, and keeps its answers as the fixtures of tests/document/:
#   sudo bash tools/column_type_fixtures/make_column_type_fixtures.sh
#
# Starts a throwaway cluster (tools/pg_cluster.sh), runs keyword_columns.sql, and writes into
# tests/document/fixtures/:
#   keyword_columns.sql    pg_dump --schema-only -t public.keyword_columns, as a dump's SQL section
#   keyword_columns.copy   the COPY block of pg_dump --data-only -t public.keyword_columns
#   keyword_columns.types  each column's name and its type as pg_dump writes types:
#                          SELECT attname, format_type(atttypid, atttypmod) FROM pg_attribute
#                          WHERE attrelid = 'public.keyword_columns'::regclass AND attnum > 0
#                          ORDER BY attnum   (under search_path '', as pg_dump sets it)
# Running it twice gives the same files.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out="$root/tests/document/fixtures"
table=public.keyword_columns

. "$root/tools/pg_cluster.sh"
pg_cluster_start columntypes
psql -X -q -v ON_ERROR_STOP=1 -f "$here/keyword_columns.sql" >/dev/null

version=$(psql -X -q -A -t -c "SHOW server_version")
mkdir -p "$out"
# pg_dump 15.14 and later frame the script with \restrict lines, which psql alone reads.
pg_dump --schema-only -t "$table" columntypes | grep -v '^\\\(un\)\?restrict' >"$out/keyword_columns.sql"
pg_dump --data-only -t "$table" columntypes | sed -n '/^COPY /,/^\\\.$/p' >"$out/keyword_columns.copy"
{
    echo "# Each column of $table and its type as pg_dump writes it, PostgreSQL $version."
    echo "# Written by tools/column_type_fixtures/make_column_type_fixtures.sh; see there for the query."
    PGOPTIONS="$PGOPTIONS -c search_path=" psql -X -q -A -t -F $'\t' -c \
        "SELECT attname, format_type(atttypid, atttypmod) FROM pg_attribute
         WHERE attrelid = '$table'::regclass AND attnum > 0 ORDER BY attnum"
} >"$out/keyword_columns.types"
echo "wrote $(grep -vc '^#' "$out/keyword_columns.types") columns into $out"
