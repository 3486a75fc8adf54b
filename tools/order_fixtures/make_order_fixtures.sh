#!/bin/bash
# Asks PostgreSQL how it orders tricky values of each type and writes its answers as the fixtures
# of tests/order/: sudo bash tools/order_fixtures/make_order_fixtures.sh
#
# Starts a throwaway cluster (tools/pg_cluster.sh; C locale, so text orders by its bytes), loads
# values.sql, and for each table o_<name> writes tests/order/fixtures/<name>.tsv:
#   type      the column's type as pg_dump writes it (format_type)
#   order_by  the expression the server sorted by: v, or v::text for types the viewer orders by
#             their text
#   asc       the ids in the order of  SELECT id FROM o_<name> ORDER BY <order_by> ASC, id
#   desc      the ids in the order of  SELECT id FROM o_<name> ORDER BY <order_by> DESC, id
#   rows      then every row as  COPY (SELECT id, v FROM o_<name>) TO STDOUT  writes it, by id;
#             timestamptz rows are written under the zone their id picks, so that one column holds
#             many offsets
# Ties are broken by id, which is file order, as the viewer breaks them.
#
# Then it loads fractions.sql and writes tests/order/fixtures/fractions.readings: for each text of
# fraction_inputs and each time type, the type, the text as given (a date before it for the
# timestamps, an offset after it for the types with a zone) and the server's reading of it as
# text, or ERROR when it refuses it:  SELECT read_as(<text>, <type>)  (see fractions.sql).
# Last, orders by several keys: keys.sql makes o_keys (id and seven columns of few values each), and
# tests/order/fixtures/keys/keys.tsv holds
#   column    each column's name and type as pg_dump writes it
#   order     the keys (as written after ORDER BY), then the ids in the order of
#               SELECT id FROM o_keys ORDER BY <keys>, id
#   rows      every row as  COPY (SELECT id, grp, n, amount, at, flag, d, f FROM o_keys)  writes it
# Running it twice gives the same files.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out="$root/tests/order/fixtures"

# Each fixture: name, the expression the server orders by, and the zones its rows are written in
# (row id i under zone i mod count).
FIXTURES=(
    'smallint|v|UTC'
    'integer|v|UTC'
    'bigint|v|UTC'
    'numeric|v|UTC'
    'real|v|UTC'
    'double|v|UTC'
    'boolean|v|UTC'
    'date|v|UTC'
    'time|v|UTC'
    'timetz|v|UTC'
    'timestamp|v|UTC'
    'timestamptz|v|Europe/Amsterdam Asia/Kolkata America/Los_Angeles'
    'text|v|UTC'
    'varchar|v|UTC'
    'char|v|UTC'
    'name|v|UTC'
    'uuid|v|UTC'
    'bytea|v|UTC'
    'integer_array|v::text|UTC'
    'text_array|v::text|UTC'
    'json|v::text|UTC'
    'jsonb|v::text|UTC'
)

. "$root/tools/pg_cluster.sh"
pg_cluster_start orderfixtures
psql -X -q -v ON_ERROR_STOP=1 -f "$here/values.sql" >/dev/null

q() { psql -X -q -A -t -v ON_ERROR_STOP=1 -c "$1"; }

version=$(q "SHOW server_version")
mkdir -p "$out"
for fixture in "${FIXTURES[@]}"; do
    IFS="|" read -r name order_by zones <<<"$fixture"
    table="o_$name"
    read -r -a zone_list <<<"$zones"
    count=${#zone_list[@]}
    {
        echo "# The server's order of $table.v (tools/order_fixtures/values.sql), PostgreSQL $version."
        echo "# Written by tools/order_fixtures/make_order_fixtures.sh; see there for each line's query."
        printf 'type\t%s\n' "$(q "SELECT format_type(atttypid, atttypmod) FROM pg_attribute
                                 WHERE attrelid = '$table'::regclass AND attname = 'v'")"
        printf 'order_by\t%s\n' "$order_by"
        printf 'asc\t%s\n' "$(q "SELECT string_agg(id::text, ' ' ORDER BY $order_by ASC, id) FROM $table")"
        printf 'desc\t%s\n' "$(q "SELECT string_agg(id::text, ' ' ORDER BY $order_by DESC, id) FROM $table")"
        echo "rows"
        for ((i = 0; i < count; i++)); do
            PGTZ="${zone_list[$i]}" psql -X -q -v ON_ERROR_STOP=1 \
                -c "COPY (SELECT id, v FROM $table WHERE id % $count = $i) TO STDOUT"
        done | sort -n -k1,1
    } >"$out/$name.tsv"
done
psql -X -q -v ON_ERROR_STOP=1 -f "$here/fractions.sql" >/dev/null
{
    echo "# How PostgreSQL $version reads fractions of a second (tools/order_fixtures/fractions.sql):"
    echo "# type, text given, the server's reading as text (ERROR: refused)."
    q "SELECT type || E'\\t' || given || E'\\t' || read_as(given, type)
       FROM (SELECT id, type, prefix || t || suffix AS given
             FROM fraction_inputs,
                  (VALUES (1, 'time', '', ''), (2, 'timetz', '', '+01'),
                          (3, 'timestamp', '2024-12-31 ', ''),
                          (4, 'timestamptz', '2024-12-31 ', '+05:30')) AS types(k, type, prefix, suffix)
             ORDER BY k, id) AS readings"
} >"$out/fractions.readings"
# Orders by several keys, each key's direction and NULLs as the viewer's single-key sort has them.
KEY_ORDERS=(
    'grp, n'
    'grp DESC, n'
    'n, grp DESC'
    'flag, amount DESC'
    'amount, at DESC'
    'at, f'
    'd DESC, flag DESC, grp'
    'f DESC, amount, n DESC'
    'grp, n DESC, amount, at'
    'flag DESC, d, f DESC, grp DESC'
    'amount DESC, grp, d'
    'n DESC, at, flag, f'
)
psql -X -q -v ON_ERROR_STOP=1 -f "$here/keys.sql" >/dev/null
mkdir -p "$out/keys"
{
    echo "# The server's orders of o_keys by several keys (tools/order_fixtures/keys.sql), PostgreSQL $version."
    echo "# Written by tools/order_fixtures/make_order_fixtures.sh; see there for each line's query."
    for column in grp n amount at flag d f; do
        printf 'column\t%s\t%s\n' "$column" "$(q "SELECT format_type(atttypid, atttypmod) FROM pg_attribute
                                              WHERE attrelid = 'o_keys'::regclass AND attname = '$column'")"
    done
    for keys in "${KEY_ORDERS[@]}"; do
        printf 'order\t%s\t%s\n' "$keys" "$(q "SELECT string_agg(id::text, ' ' ORDER BY $keys, id) FROM o_keys")"
    done
    echo "rows"
    psql -X -q -v ON_ERROR_STOP=1 -c "COPY (SELECT id, grp, n, amount, at, flag, d, f FROM o_keys ORDER BY id) TO STDOUT"
} >"$out/keys/keys.tsv"
echo "wrote ${#FIXTURES[@]} fixtures, fractions.readings and ${#KEY_ORDERS[@]} orders by several keys into $out"
