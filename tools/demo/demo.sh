#!/usr/bin/env bash
# The program's main job, shown in the private test LAN (run by ./nw run).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
exe="$root/build/win32/bin/Nodewright.exe"
if [ ! -f "$exe" ]; then
    echo "Everything is built; the program's window is not part of this build yet."
    exit 0
fi
