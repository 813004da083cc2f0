#!/usr/bin/env bash
# The program's main job, shown in the private test LAN (run by ./nw run):
# simulated cameras on the device side, the program on the operator side, a
# screenshot of its window once the first search has listed them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
[ $# -ge 1 ] || { echo "usage: demo.sh SCREENSHOT.png [--stay]" >&2; exit 2; }
exec python3 "$root/tools/demo/demo.py" "$@"
