#!/bin/sh
# Fuzzes each target with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer for
# SECONDS each (default 60) on every core, then merges what adds coverage into fuzz/corpus/<target>.
# Prints each target's executions. Crashing inputs land in build/sanitize/fuzz/crashes/<target>/;
# each one found becomes a regression test by going into the corpus, which replays as a test.
#   sh fuzz/run.sh [SECONDS] [TARGET...]      targets: document unescape text export order condition
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-60}"
[ $# -gt 0 ] && shift
targets="${*:-document unescape text export order condition}"
cores="$(nproc)"

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize --target $(for t in $targets; do printf '%s_fuzz ' "$t"; done)

status=0
for t in $targets; do
    dir=build/sanitize/fuzz
    logs="$dir/logs/$t"
    rm -rf "$logs"
    mkdir -p "$logs" "$dir/found/$t" "$dir/crashes/$t"
    extra=""
    [ "$t" = unescape ] && extra="-max_len=20000"
    # shellcheck disable=SC2086
    (cd "$logs" && "../../${t}_fuzz" -max_total_time="$seconds" -jobs="$cores" -workers="$cores" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="../../crashes/$t/" \
        $extra "../../found/$t" "../../../../../fuzz/corpus/$t" >/dev/null 2>&1) || status=1
    runs=$(cat "$logs"/fuzz-*.log | sed -n 's/^stat::number_of_executed_units: *//p' |
        awk '{ s += $1 } END { print s + 0 }')
    echo "$t: $runs executions in ${seconds} s on $cores cores"
    grep -h -E "ERROR|fuzz check failed" "$logs"/fuzz-*.log | head -5 || true
    "$dir/${t}_fuzz" -merge=1 $extra "fuzz/corpus/$t" "$dir/found/$t" >/dev/null 2>&1 || true
done
exit $status
