#!/usr/bin/env bash
# The datagram fuzzer's long campaign (./nw bench runs it through run.sh).
# Builds the libFuzzer target (the fuzz preset: clang, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it as one process, on one core, from
# the checked-in seeds and the corpus earlier campaigns grew, for
# NW_FUZZ_RUNS executions (default 10 million) or NW_FUZZ_SECONDS seconds.
# Prints the executions, their rate, the crashes and the sanitizer reports,
# and fails when there is a crash or a report.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

seconds=${NW_FUZZ_SECONDS:-0}
if [ -n "${NW_FUZZ_RUNS:-}" ]; then
    runs=$NW_FUZZ_RUNS
elif [ "$seconds" != 0 ]; then
    runs=-1
else
    runs=10000000
fi

[ -f build/fuzz/CMakeCache.txt ] || cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

campaign=build/fuzz/campaign
run=$campaign/$(date +%Y%m%d-%H%M%S)
mkdir -p "$campaign/corpus" "$run/artifacts"
log=$run/fuzzer.log
echo "fuzzing: $([ "$runs" = -1 ] && echo "$seconds s" || echo "$runs executions"), log in $log"

start=$(date +%s.%N)
status=0
build/fuzz/bin/datagram_fuzzer -runs="$runs" -max_total_time="$seconds" -max_len=512 \
    -dict=tests/fuzz/datagram.dict -print_final_stats=1 -artifact_prefix="$run/artifacts/" \
    "$campaign/corpus" tests/fuzz/corpus >"$log" 2>&1 || status=$?
end=$(date +%s.%N)

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
# Stopped by a crash, the run prints no final figures: its last status line
# has the count.
[ -n "$executions" ] || executions=$(grep -oE '^#[0-9]+' "$log" | tail -n 1 | tr -d '#')
executions=${executions:-0}
crashes=$(find "$run/artifacts" -type f | wc -l)
sanitizer=$(grep -cE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$log" || true)
violated=$(grep -c 'property violated' "$log" || true)

awk -v n="$executions" -v t0="$start" -v t1="$end" 'BEGIN {
    t = t1 - t0
    printf "executions: %d in %.0f s (%.0f per second)\n", n, t, (t > 0 ? n / t : 0)
    if (n > 0) printf "10 million executions at this rate: %.0f min\n", 1e7 / (n / t) / 60
}'
echo "crashes: $crashes$([ "$crashes" = 0 ] || echo " (inputs in $run/artifacts)")"
echo "sanitizer reports: $sanitizer"
echo "property violations: $violated"
echo "fuzzer exit status: $status"
clean=$([ "$status" = 0 ] && [ "$crashes" = 0 ] && [ "$sanitizer" = 0 ] && [ "$violated" = 0 ] && echo 1 || echo 0)
python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import summary
summary.record("datagram fuzzer", "executions, crashes, sanitizer reports", "%s, %s, %s" % tuple(sys.argv[2:5]),
               "10,000,000, 0, 0", sys.argv[5] == "1" and int(sys.argv[2]) >= 10000000)' \
    "$root/bench" "$executions" "$crashes" "$sanitizer" "$clean"
[ "$status" = 0 ] && [ "$crashes" = 0 ] && [ "$sanitizer" = 0 ] && [ "$violated" = 0 ]
