#!/usr/bin/env bash
# ./nw dist --check (part of ./nw test): makes the artifacts in dist/, makes
# them again in a build folder of its own and compares the bytes, runs
# lintian on the package, installs and removes it, and runs the Windows zip
# under Wine in the test LAN. Needs the win32 and native test builds (the UI
# driver, the stand-in firmware tool, the simulator).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
say() { printf '\n== %s\n' "$*"; }

packaging/dist.sh dist build/dist
again=$(mktemp -d)
trap 'rm -rf "$again"' EXIT
say "making the artifacts again, in another build folder"
rm -rf build/dist-again
packaging/dist.sh "$again" build/dist-again >/dev/null
cmp dist/SHA256SUMS "$again/SHA256SUMS" || {
    echo "check_dist: the second run's artifacts differ:" >&2
    diff dist/SHA256SUMS "$again/SHA256SUMS" >&2
    exit 1
}
echo "reproducible: both runs made the same bytes"

zip=$(ls dist/nodewright-*-windows.zip)
deb=$(ls dist/nwctl_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
[ "$zip" = "dist/nodewright-$version-windows.zip" ] || { echo "check_dist: $zip is not of version $version" >&2; exit 1; }

say "lintian $deb"
# Not as root, which lintian advises against: a copy that anybody may read.
cp "$deb" "$again/"
chmod 0755 "$again"
(cd "$again" && runuser -u nobody -- lintian --fail-on error,warning,info,pedantic --display-info --pedantic "${deb##*/}")
echo "lintian: no tags"

say "installing and removing $deb"
tests/dist/check_deb.sh "$deb" "$version"

say "running $zip under Wine"
NW_DIST_ZIP=$root/$zip NW_VERSION=$version tools/testlan/testlan --quiet -- python3 tests/dist/test_windows_zip.py
