#!/bin/bash
# Asks PostgreSQL for the answers the questions the viewer asks of a table must give, and writes
# them as the fixtures of tests/query/: sudo bash tools/query_fixtures/make_query_fixtures.sh
#
# Starts a throwaway cluster (tools/pg_cluster.sh; C locale), loads the order fixtures' tables
# (tools/order_fixtures/values.sql) and summary.sql, and for each table o_<name> writes
# tests/query/fixtures/summary/<name>.tsv: the column's type, its rows as COPY writes them (by id;
# timestamptz under three zones, as the order fixtures are), then for the rows of each `where`
# (every row, and the rows of odd id) the facts of the column summary, from these queries over
# t = o_<name>, with <e> the expression the viewer orders by (v, or v::text where it orders by the
# text):
#   rows      SELECT count(*) FROM t WHERE <where>
#   null      SELECT count(*) FROM t WHERE <where> AND v IS NULL
#   distinct  SELECT count(DISTINCT <e>) FROM t WHERE <where>
#   min       SELECT min(id) FROM t WHERE <where> AND <e> = (SELECT <e> FROM t WHERE <where> AND
#             v IS NOT NULL ORDER BY <e> LIMIT 1), which is min(<e>) (bool_and for boolean) where
#             the type has min(): the first row in file order holding it; "null" when none
#   max       the same, ORDER BY <e> DESC
#   sum, avg  number types: sum(v), avg(v) (floats as sum(v::float8), avg(v::float8) with
#             extra_float_digits 0, so that 15 significant digits print)
#   shortest, longest  character types: min(length(v)), max(length(v))
#   common    up to 10 lines "<count> <percent> <first id>" of
#             SELECT count(*), round(count(*) * 100.0 / <rows>, 1), min(id) FROM t
#             WHERE <where> AND v IS NOT NULL GROUP BY <e> ORDER BY count(*) DESC, <e> LIMIT 10
#
# Then tests/query/fixtures/conditions/<name>.tsv for each table that conditions.txt asks about: the
# column's type, a line "where<TAB><condition><TAB><ids>" for each of its conditions, with the ids
# of  SELECT string_agg(id::text, ' ' ORDER BY id) FROM o_<name> WHERE <condition>  (the server's
# form of the condition where conditions.txt gives one), and the rows as for the summaries.
#
# Running it twice gives the same files.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out="$root/tests/query/fixtures"

# name | expression the viewer orders by | zones the rows are written in | what else it has
SUMMARIES=(
    'smallint|v|UTC|number'
    'integer|v|UTC|number'
    'bigint|v|UTC|number'
    'numeric|v|UTC|number'
    'real|v|UTC|float'
    'double|v|UTC|float'
    'boolean|v|UTC|boolean'
    'date|v|UTC|'
    'time|v|UTC|'
    'timetz|v|UTC|'
    'timestamp|v|UTC|'
    'timestamptz|v|Europe/Amsterdam Asia/Kolkata America/Los_Angeles|'
    'text|v|UTC|character'
    'varchar|v|UTC|character'
    'char|v|UTC|character'
    'name|v|UTC|character'
    'uuid|v|UTC|'
    'bytea|v|UTC|'
    'integer_array|v::text|UTC|'
    'text_array|v::text|UTC|'
    'json|v::text|UTC|'
    'jsonb|v::text|UTC|'
    'only_nulls|v|UTC|number'
    'no_rows|v|UTC|character'
    'wide_numeric|v|UTC|number'
    'big_sum|v|UTC|number'
    'small_numbers|v|UTC|number'
)

. "$root/tools/pg_cluster.sh"
pg_cluster_start queryfixtures
psql -X -q -v ON_ERROR_STOP=1 -f "$root/tools/order_fixtures/values.sql" >/dev/null
psql -X -q -v ON_ERROR_STOP=1 -f "$here/summary.sql" >/dev/null

q() { psql -X -q -A -t -v ON_ERROR_STOP=1 -c "$1"; }

version=$(q "SHOW server_version")
mkdir -p "$out/summary"
for summary in "${SUMMARIES[@]}"; do
    IFS="|" read -r name e zones what <<<"$summary"
    t="o_$name"
    read -r -a zone_list <<<"$zones"
    count=${#zone_list[@]}
    {
        echo "# The server's summary of $t.v (tools/query_fixtures/make_query_fixtures.sh), PostgreSQL $version."
        printf 'type\t%s\n' "$(q "SELECT format_type(atttypid, atttypmod) FROM pg_attribute
                                 WHERE attrelid = '$t'::regclass AND attname = 'v'")"
        for where in "true" "id % 2 = 1"; do
            printf 'where\t%s\n' "$where"
            rows=$(q "SELECT count(*) FROM $t WHERE $where")
            printf 'rows\t%s\n' "$rows"
            printf 'null\t%s\n' "$(q "SELECT count(*) FROM $t WHERE $where AND v IS NULL")"
            printf 'distinct\t%s\n' "$(q "SELECT count(DISTINCT $e) FROM $t WHERE $where")"
            for f in min max; do
                dir=ASC
                [ $f = max ] && dir=DESC
                printf '%s\t%s\n' $f "$(q "SELECT coalesce(min(id)::text, 'null') FROM $t WHERE $where
                    AND $e = (SELECT $e FROM $t WHERE $where AND v IS NOT NULL ORDER BY $e $dir LIMIT 1)")"
            done
            if [ "$what" = number ]; then
                printf 'sum\t%s\n' "$(q "SELECT coalesce(sum(v)::text, 'null') FROM $t WHERE $where")"
                printf 'avg\t%s\n' "$(q "SELECT coalesce(avg(v)::text, 'null') FROM $t WHERE $where")"
            elif [ "$what" = float ]; then
                printf 'sum\t%s\n' "$(q "SET extra_float_digits = 0;
                    SELECT coalesce(sum(v::float8)::text, 'null') FROM $t WHERE $where")"
                printf 'avg\t%s\n' "$(q "SET extra_float_digits = 0;
                    SELECT coalesce(avg(v::float8)::text, 'null') FROM $t WHERE $where")"
            elif [ "$what" = character ]; then
                printf 'shortest\t%s\n' "$(q "SELECT coalesce(min(length(v))::text, 'null') FROM $t WHERE $where")"
                printf 'longest\t%s\n' "$(q "SELECT coalesce(max(length(v))::text, 'null') FROM $t WHERE $where")"
            fi
            if [ "$rows" -gt 0 ]; then
                q "SELECT count(*) || ' ' || round(count(*) * 100.0 / $rows, 1) || ' ' || min(id)
                   FROM $t WHERE $where AND v IS NOT NULL GROUP BY $e ORDER BY count(*) DESC, $e
                   LIMIT 10" | sed 's/^/common\t/'
            fi
        done
        echo "rows"
        for ((i = 0; i < count; i++)); do
            PGTZ="${zone_list[$i]}" psql -X -q -v ON_ERROR_STOP=1 \
                -c "COPY (SELECT id, v FROM $t WHERE id % $count = $i) TO STDOUT"
        done | sort -n -k1,1
    } >"$out/summary/$name.tsv"
done
mkdir -p "$out/conditions"
rm -f "$out/conditions/"*.tsv
conditions=0
while IFS= read -r line; do
    [ -z "$line" ] || [ "${line#\#}" != "$line" ] && continue
    IFS="|" read -r name condition server <<<"$line"
    t="o_$name"
    file="$out/conditions/$name.tsv"
    if [ ! -f "$file" ]; then
        {
            echo "# The server's answers to conditions on $t.v (tools/query_fixtures/make_query_fixtures.sh), PostgreSQL $version."
            printf 'type\t%s\n' "$(q "SELECT format_type(atttypid, atttypmod) FROM pg_attribute
                                     WHERE attrelid = '$t'::regclass AND attname = 'v'")"
        } >"$file"
    fi
    printf 'where\t%s\t%s\n' "$condition" \
        "$(q "SELECT coalesce(string_agg(id::text, ' ' ORDER BY id), '') FROM $t WHERE ${server:-$condition}")" >>"$file"
    conditions=$((conditions + 1))
done <"$here/conditions.txt"
for file in "$out/conditions/"*.tsv; do
    name=$(basename "$file" .tsv)
    zones=UTC
    [ "$name" = timestamptz ] && zones="Europe/Amsterdam Asia/Kolkata America/Los_Angeles"
    read -r -a zone_list <<<"$zones"
    count=${#zone_list[@]}
    echo "rows" >>"$file"
    for ((i = 0; i < count; i++)); do
        PGTZ="${zone_list[$i]}" psql -X -q -v ON_ERROR_STOP=1 \
            -c "COPY (SELECT id, v FROM o_$name WHERE id % $count = $i) TO STDOUT"
    done | sort -n -k1,1 >>"$file"
done
echo "wrote ${#SUMMARIES[@]} summaries and $conditions conditions into $out"
