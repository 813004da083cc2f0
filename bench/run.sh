#!/usr/bin/env bash
# The benchmarks, each in a private test LAN of its own (./nw bench runs
# this after the build).
#   bench/run.sh                   all: discovery, close, longrun
#   bench/run.sh NAME [ARGS...]    one of them, with its own options, e.g.
#                                  bench/run.sh close --iterations 10
#                                  bench/run.sh longrun --searches 20 --saves 20
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export NW_BUILD_DIR=${NW_BUILD_DIR:-$root/build/win32}
export NW_NATIVE_BUILD_DIR=${NW_NATIVE_BUILD_DIR:-$root/build/native}
names=(discovery close longrun)

run() {
    local name=$1
    shift
    "$root/tools/testlan/testlan" --quiet -- python3 "$root/bench/${name}_bench.py" "$@"
}

if [ $# -gt 0 ]; then
    case " ${names[*]} " in
    *" $1 "*) run "$@"; exit ;;
    *) echo "usage: bench/run.sh [discovery|close|longrun [ARGS...]]" >&2; exit 2 ;;
    esac
fi
# Every benchmark runs and prints its table; the status says whether all met
# their goals.
status=0
for name in "${names[@]}"; do
    printf '\n== %s\n' "$name"
    run "$name" || status=1
done
exit "$status"
