#!/bin/bash
# Lets a throwaway PostgreSQL server check the CSV and INSERT copies, and keeps what it said as the
# export tests' fixtures in tests/export/fixtures/:
#   tricky.pg               the table of tricky_values.sql, dumped as a dump container
#   tricky.kinds            its columns' kinds, as copy_as is told them
#   tricky.csv              copy_as's CSV of the whole grid, which the server loaded with
#                           COPY ... FROM STDIN (FORMAT csv, HEADER) into an empty copy of the table
#   tricky.insert.sql       copy_as's INSERT statements, which psql ran into an empty copy
#   tricky.csv.readback     what the server then held, as COPY ... TO STDOUT writes it
#   tricky.insert.readback
#   tricky.md               copy_as's Markdown table of the whole grid, which a CommonMark reader
#                           with GitHub's tables (Debian's python3-markdown-it) rendered
#   tricky.md.readback      what that reader read in each cell (read_markdown.py)
# Refuses to write anything when a readback differs from the dumped rows. The tests need no server
# and no Markdown reader.
# Usage: bash tools/export_fixtures/make_export_fixtures.sh   (root installs PostgreSQL if missing;
# tools/setup.sh installs python3-markdown-it)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out="$root/tests/export/fixtures"
table='public."tricky ""values"""'

cmake --preset native -S "$root" >/dev/null
cmake --build --preset native --target copy_as >/dev/null
copy_as="$root/build/native/tools/copy_as/copy_as"

. "$root/tools/pg_cluster.sh"
pg_cluster_start exportfix
work="$PG_CLUSTER_DIR/work"
mkdir -p "$work"
psql -X -q -v ON_ERROR_STOP=1 -f "$here/tricky_values.sql" >/dev/null

python3 "$here/write_export_dump.py" "$work/tricky.pg" "$work/tricky.kinds" "$table"
read -r -a kinds <"$work/tricky.kinds"
"$copy_as" csv "$work/tricky.pg" "${kinds[@]}" >"$work/tricky.csv"
"$copy_as" insert "$work/tricky.pg" "${kinds[@]}" >"$work/tricky.insert.sql"
"$copy_as" markdown "$work/tricky.pg" "${kinds[@]}" >"$work/tricky.md"

# Debian's interpreter, which holds Debian's Markdown reader.
if ! /usr/bin/python3 "$here/read_markdown.py" "$work/tricky.md" "$work/tricky.pg" \
    "$work/tricky.md.readback"; then
    echo "make_export_fixtures: the Markdown reader read cells other than the dumped ones" >&2
    exit 1
fi

# The dumped rows, as the readbacks must give them.
sed -n '/^COPY /,/^\\\.$/p' "$work/tricky.pg" | sed '1d;$d' >"$work/dumped_rows"

psql -X -q -v ON_ERROR_STOP=1 -c "CREATE TABLE csv_copy (LIKE $table)"
psql -X -q -v ON_ERROR_STOP=1 -c "COPY csv_copy FROM STDIN (FORMAT csv, HEADER)" <"$work/tricky.csv"
psql -X -q -v ON_ERROR_STOP=1 -c "COPY (SELECT * FROM csv_copy ORDER BY id) TO STDOUT" \
    >"$work/tricky.csv.readback"

# The statements name the table itself, so they run in a database of their own holding it empty.
createdb -T template0 -E UTF8 insertcheck
pg_dump --schema-only -t "$table" exportfix | grep -v '^\\\(un\)\?restrict' |
    psql -X -q -v ON_ERROR_STOP=1 -d insertcheck >/dev/null
psql -X -q -v ON_ERROR_STOP=1 -d insertcheck -f "$work/tricky.insert.sql" >/dev/null
psql -X -q -v ON_ERROR_STOP=1 -d insertcheck -c "COPY (SELECT * FROM $table ORDER BY id) TO STDOUT" \
    >"$work/tricky.insert.readback"

for readback in tricky.csv.readback tricky.insert.readback; do
    if ! cmp -s "$work/dumped_rows" "$work/$readback"; then
        diff "$work/dumped_rows" "$work/$readback" >&2 || true
        echo "make_export_fixtures: $readback differs from the dumped rows" >&2
        exit 1
    fi
done

mkdir -p "$out"
for f in tricky.pg tricky.kinds tricky.csv tricky.insert.sql tricky.csv.readback \
    tricky.insert.readback tricky.md tricky.md.readback; do
    cp "$work/$f" "$out/$f"
done
echo "make_export_fixtures: $(wc -l <"$work/dumped_rows") rows checked through CSV, INSERT and Markdown"
