#!/bin/sh
# Builds the benchmarks, writes their data under build/bench-data/ and runs them: the portable core
# natively (Google Benchmark, then the ratio table and the peak memory of a load), then the Windows
# side under Wine, last a dump of gigabytes written for the run outside the repository.
# Usage: sh bench/run.sh [native|windows|big]   (native and windows when no argument is given;
# windows ends with the part on the dump of gigabytes, which big runs alone)
set -eu
cd "$(dirname "$0")/.."
what="${1:-all}"
data=build/bench-data
mkdir -p "$data"

cmake --preset native -B build/bench-native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench-native -j2 --target gen_dump core_bench load_peak >/dev/null

# The data is deterministic: written once, then reused.
[ -f "$data/rows_1m.pg" ] || build/bench-native/tools/gen_dump/gen_dump "$data/rows_1m.pg" 1000000 10
[ -f "$data/cols_256.pg" ] || build/bench-native/tools/gen_dump/gen_dump "$data/cols_256.pg" 2000 256
[ -f "$data/rows_10k.pg" ] || build/bench-native/tools/gen_dump/gen_dump "$data/rows_10k.pg" 10000 10

if [ "$what" = all ] || [ "$what" = native ]; then
    echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
    build/bench-native/bench/core_bench "$data" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true --benchmark_enable_random_interleaving=true \
        --benchmark_out="$data/core_bench.json" --benchmark_out_format=json
    echo
    build/bench-native/bench/load_peak "$data/rows_1m.pg" || true
fi

if [ "$what" != native ]; then
    cmake --preset windows -B build/bench-win >/dev/null
    cmake --build build/bench-win -j2 --target wine_bench wine_stop_bench soak_tests >/dev/null
    WINEPREFIX="${WINEPREFIX:-$(pwd)/build/wineprefix-bench}"
    export WINEPREFIX
fi

if [ "$what" = all ] || [ "$what" = windows ]; then
    echo
    echo "== under Wine"
    xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh \
        wine build/bench-win/bench/wine_bench.exe "$data/rows_1m.pg" 5 "$data/rows_1m.pg" sort

    # The viewer window's own cost under Wine: a file of 10,000 rows (1 MB), read whole before
    # ListLoad returns, so that no count runs beside its first paint.
    echo
    echo "== a file of 10,000 rows under Wine"
    xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh \
        wine build/bench-win/bench/wine_bench.exe "$data/rows_10k.pg" 5 - | grep -v '^goal'

    # A column's summary, one and two sort keys, a condition, the sums of every cell and go to
    # row, each until the grid has painted its answer.
    echo
    echo "== questions in one step on the 1,000,000-row grid under Wine"
    xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh \
        wine build/bench-win/bench/wine_bench.exe "$data/rows_1m.pg" 5 - answers

    # Files whose first screen is bounded by its bytes rather than its rows (1 GB each, written
    # once like the rest): 500 rows of 2 MB, and 1,000 rows after an SQL section of 1 GB. Each
    # ListLoad until its first tab has painted, against the 1,000,000-row file's first screen; then,
    # once counted, their Full SQL tab read through WM_GETTEXTLENGTH and WM_GETTEXT.
    [ -f "$data/rows_500_1g.pg" ] || build/bench-native/tools/gen_dump/gen_dump \
        "$data/rows_500_1g.pg" 500 10 --row-bytes 2000000
    [ -f "$data/sql_1g.pg" ] || build/bench-native/tools/gen_dump/gen_dump \
        "$data/sql_1g.pg" 1000 10 --sql-bytes 1000000000
    echo
    echo "== first screens of 1 GB files of rows of 2 MB and of a long SQL section under Wine"
    xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh \
        wine build/bench-win/bench/wine_bench.exe "$data/rows_1m.pg" 5 - first \
        "$data/rows_500_1g.pg" "$data/sql_1g.pg" | grep -v -e '^goal: ListLoad' -e '^load_file'

    # Select all and copy, in a process of its own so that the memory it adds is the copy's.
    echo
    echo "== select all and copy of the 1,000,000-row grid under Wine"
    xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh \
        wine build/bench-win/bench/wine_bench.exe "$data/rows_1m.pg" 3 - copy

    # Crafted files whose header names no columns and whose rows hold 1,600 (the most a table can
    # have) and 20,000 one-byte fields: the grid makes a column per field up to 1,600, so the
    # second must open as fast as the first; its Full SQL tab holds the 20,000 fields whole.
    for fields in 1600 20000; do
        f="$data/first_row_$fields.pg"
        [ -f "$f" ] || awk -v n="$fields" 'BEGIN {
            printf "KMZTAB01\001[DATA]\nCOPY wide FROM stdin;\n"
            for (r = 0; r < 20; r++) { for (i = 0; i < n; i++) printf "%s%d", (i ? "\t" : ""), i % 10; printf "\n" }
            printf "\\.\n" }' >"$f"
    done
    # An SQL section whose first line is 1 MB long, tabs and Cyrillic in it, over a one-row table.
    f="$data/megabyte_line.pg"
    [ -f "$f" ] || awk 'BEGIN {
        printf "KMZTAB01\001[SQL]\nselect '"'"'"
        for (i = 0; i < 42000; i++) printf "value %05d\t\320\272\320\260\320\261\320\265\320\273\321\214 ", i
        printf "'"'"';\nselect 2;\n\001[DATA]\nCOPY t (a) FROM stdin;\n1\n\\.\n" }' >"$f"
    # One row whose text cell holds a 1 MB value, line breaks and tabs escaped in it.
    f="$data/megabyte_cell.pg"
    [ -f "$f" ] || awk 'BEGIN {
        printf "KMZTAB01\001[SQL]\nCREATE TABLE public.cell (\n    id integer,\n    body text\n);\n"
        printf "\001[DATA]\nCOPY public.cell (id, body) FROM stdin;\n1\t"
        for (i = 0; i < 23000; i++) printf "line %05d of the value,\\tcolumns\\tand text\\n", i
        printf "\n\\.\n" }' >"$f"
    echo
    echo "== wide first rows, a 1 MB line and a 1 MB cell under Wine"
    xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh sh -c "
        wine build/bench-win/bench/wine_bench.exe $data/first_row_1600.pg 3 - | grep -e '^ListLoad' -e '^load_file'
        wine build/bench-win/bench/wine_bench.exe $data/first_row_20000.pg 3 | grep -v '^goal'
        wine build/bench-win/bench/wine_bench.exe $data/megabyte_line.pg 3 | grep -v -e '^ListLoad' -e '^goal'
        wine build/bench-win/bench/wine_bench.exe $data/megabyte_cell.pg 5 - value | grep -e '^file' -e 'value'"
fi

# A dump of about 4.5 GiB (100,000,000 rows of 5 columns), which the viewer must open without
# reading it into memory, after the 1,000,000-row file in the same process. It is written under
# $TMPDIR (never in the repository; about a minute), reused when a run left it there, and deleted
# when the run ends unless KEEP_BIG_DUMP=1. Skipped, saying so, when the disk lacks the room.
if [ "$what" != native ]; then
    echo
    echo "== a dump of 100,000,000 rows under Wine"
    big="${TMPDIR:-/tmp}/tavrin_bench_100m.pg"
    room_kb=$(df -Pk "$(dirname "$big")" | awk 'NR == 2 { print $4 }')
    if [ ! -f "$big" ] && [ "$room_kb" -lt $((6 * 1024 * 1024)) ]; then
        echo "skipped: $(dirname "$big") has $((room_kb / 1024)) MiB free, the dump needs 4,607"
    else
        if [ "${KEEP_BIG_DUMP:-0}" != 1 ]; then
            trap 'rm -f "$big" "$big.part"' EXIT
            trap 'exit 130' INT TERM
        fi
        if [ ! -f "$big" ]; then
            build/bench-native/tools/gen_dump/gen_dump "$big.part" 100000000 5
            mv "$big.part" "$big"
        fi
        echo "$(ls -l "$big" | awk '{ print $5 }') bytes"
        xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh \
            wine build/bench-win/bench/wine_bench.exe "$data/rows_1m.pg" 3 - big "$big"

        # How soon long work over it lets go: Escape at several moments of a sort, its turning
        # round, a filter, a search and the copies; ListLoadNext and ListCloseWindow meanwhile.
        echo
        echo "== Escape, ListLoadNext and ListCloseWindow during long work on it"
        printf 'KMZTAB01\001[DATA]\nCOPY t (a) FROM stdin;\n1\n\\.\n' >"$data/one_row.pg"
        xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh \
            wine build/bench-win/bench/wine_stop_bench.exe "$big" "$data/one_row.pg"

        # The random walk of the tests, 100,000 actions long, with this dump as the file being
        # counted.
        echo
        echo "== a random walk of 100,000 actions"
        xvfb-run -a -s "-screen 0 1280x1024x24" sh tools/under_wine.sh env \
            TAVRIN_WALK_ACTIONS=100000 TAVRIN_WALK_BIG="Z:$big" \
            wine build/bench-win/tests/plugin/soak_tests.exe --gtest_filter='RandomWalk*' |
            grep -e 'actions, memory' -e 'OK' -e 'FAILED'
    fi
fi
