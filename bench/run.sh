#!/usr/bin/env bash
# The benchmarks (./nw bench runs this after the build). Each prints its own
# table and adds its headline figures to one summary, printed at the end.
#   bench/run.sh                   all of them
#   bench/run.sh NAME [ARGS...]    one, with its own options, e.g.
#                                  bench/run.sh close --iterations 10
#                                  bench/run.sh longrun --searches 20 --saves 20
#                                  bench/run.sh flood --searches 1
#                                  bench/run.sh fuzz   (NW_FUZZ_RUNS, NW_FUZZ_SECONDS)
#                                  bench/run.sh rules  (nwctl's checks of large plans)
#                                  bench/run.sh probe --no-baseline
#                                  bench/run.sh arp --devices 1024
# The Windows build measured is the 32-bit program where this machine runs
# 32-bit code, else the 64-bit twin (NW_WINDOWS_ARCH forces one); the summary
# names it.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/tools/wine/windows-arch.sh"
nw_windows_plan || { echo "bench: $nw_plan_error" >&2; exit 2; }
arch=${nw_run_archs[0]}
export NW_BUILD_DIR=${NW_BUILD_DIR:-$root/build/$(nw_windows_preset "$arch")}
export NW_NATIVE_BUILD_DIR=${NW_NATIVE_BUILD_DIR:-$root/build/native}
export NW_BENCH_BUILD="the $arch build, ${NW_BUILD_DIR#"$root"/}"
names=(discovery flood close longrun fuzz rules probe arp)

run() {
    local name=$1
    shift
    if [ "$name" = fuzz ]; then
        "$root/bench/fuzz_campaign.sh"
    elif [ "$name" = rules ]; then
        # In memory: no network, so no test LAN.
        python3 "$root/bench/rules_bench.py"
    else
        # Each in a private test LAN of its own.
        "$root/tools/testlan/testlan" --quiet --arch "$arch" -- python3 "$root/bench/${name}_bench.py" "$@"
    fi
}

export NW_BENCH_SUMMARY=${NW_BENCH_SUMMARY:-$(mktemp)}
if [ $# -gt 0 ]; then
    case " ${names[*]} " in
    *" $1 "*) run "$@"; exit ;;
    *) echo "usage: bench/run.sh [discovery|flood|close|longrun|fuzz|rules|probe|arp [ARGS...]]" >&2; exit 2 ;;
    esac
fi
status=0
for name in "${names[@]}"; do
    printf '\n== %s\n' "$name"
    run "$name" || status=1
done
printf '\n== What it survives\n'
python3 "$root/bench/summary.py" "$NW_BENCH_SUMMARY"
exit "$status"
