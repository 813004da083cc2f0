#!/usr/bin/env bash
# The benchmarks (./nw bench runs this after the build): the discovery
# benchmark in the private test LAN, then the datagram fuzzer's campaign.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export NW_BUILD_DIR=${NW_BUILD_DIR:-$root/build/win32}
export NW_NATIVE_BUILD_DIR=${NW_NATIVE_BUILD_DIR:-$root/build/native}
status=0
"$root/tools/testlan/testlan" --quiet -- python3 "$root/bench/discovery_bench.py" "$@" || status=$?
"$root/bench/fuzz_campaign.sh" || status=$?
exit $status
