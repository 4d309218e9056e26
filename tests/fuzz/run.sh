#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each one over its seeds and
# then for the given number of seconds, several at once, and prints what
# each did. Exits non-zero when a target found something (a crash, a
# sanitizer report, a broken rule, a hang, too much memory); the input that
# did it is kept in <build>/findings/<target>/ and the run's log in
# <build>/logs/<target>.log.
#
#   tests/fuzz/run.sh [seconds per target]          (default 5)
#
# FUZZ_JOBS     targets run at once, and build jobs (default: the cores there are)
# FUZZ_BUILD    the build folder (default build/fuzz)
# FUZZ_TARGETS  the targets to run, by name without "fuzz_" (default all)
# FUZZ_RUNS     a target also stops after this many inputs (default -1: no limit)
#
# The corpus each target grows is kept in <build>/corpus/<target>/, so a
# later run goes on from there; the seeds in tests/fuzz/seeds/ stay as they
# are.
set -euo pipefail

seconds=${1:-5}
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${FUZZ_BUILD:-build/fuzz}
jobs=${FUZZ_JOBS:-$(nproc)}
cd "$root"

started=$(date +%s)
cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ > /dev/null
cmake --build "$build" -j "$jobs"
built=$(date +%s)

if [ -n "${FUZZ_TARGETS:-}" ]; then
    targets=$FUZZ_TARGETS
else
    targets=$(cd "$build/bin" && ls fuzz_* | sed 's/^fuzz_//')
fi
mkdir -p "$build/logs" "$build/corpus" "$build/findings"

run_one() {
    local name=$1
    local corpus="$build/corpus/$name" findings="$build/findings/$name"
    local dict=()
    mkdir -p "$corpus" "$findings"
    [ -f "tests/fuzz/dict/$name.dict" ] && dict=("-dict=tests/fuzz/dict/$name.dict")
    LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        "$build/bin/fuzz_$name" -max_total_time="$seconds" -runs="${FUZZ_RUNS:--1}" -timeout=20 -print_final_stats=1 \
        -artifact_prefix="$findings/" "${dict[@]}" "$corpus" "tests/fuzz/seeds/$name" \
        > "$build/logs/$name.log" 2>&1
}

declare -A status
running=0
for name in $targets; do
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
    (run_one "$name"; echo $? > "$build/logs/$name.status") &
    running=$((running + 1))
done
wait

failed=0
printf '%-10s %12s %10s %15s %8s %7s\n' target executions "exec/s" "coverage" features corpus
for name in $targets; do
    log="$build/logs/$name.log"
    status[$name]=$(cat "$build/logs/$name.status" 2>/dev/null || echo 1)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    edges=$(sed -n 's/.*Loaded [0-9]* modules *(\([0-9]*\) inline 8-bit counters).*/\1/p' "$log" | head -1)
    last=$(grep -E '(DONE|pulse|NEW|REDUCE|INITED) +cov:' "$log" | tail -1 || true)
    cov=$(echo "$last" | sed -n 's/.*cov: \([0-9]*\).*/\1/p')
    ft=$(echo "$last" | sed -n 's/.*ft: \([0-9]*\).*/\1/p')
    corp=$(echo "$last" | sed -n 's/.*corp: \([0-9]*\)\/.*/\1/p')
    printf '%-10s %12s %10s %15s %8s %7s\n' "$name" "${runs:-?}" "${rate:-?}" "${cov:-?}/${edges:-?}" "${ft:-?}" "${corp:-?}"
    if [ "${status[$name]}" != 0 ]; then
        failed=1
        echo "---- fuzz_$name found something (exit ${status[$name]}); its log ends:" >&2
        grep -E 'FINDING|ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -20 >&2 || tail -20 "$log" >&2
    fi
done
finished=$(date +%s)
echo "fuzz: build $((built - started)) s, runs $((finished - built)) s, $jobs at once, ${seconds} s each"
exit $failed
