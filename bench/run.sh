#!/usr/bin/env bash
# The benchmarks, in the private test LAN (./nw bench runs this after the build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export NW_BUILD_DIR=${NW_BUILD_DIR:-$root/build/win32}
export NW_NATIVE_BUILD_DIR=${NW_NATIVE_BUILD_DIR:-$root/build/native}
exec "$root/tools/testlan/testlan" --quiet -- python3 "$root/bench/discovery_bench.py" "$@"
