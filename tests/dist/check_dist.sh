#!/usr/bin/env bash
# ./nw dist --check (part of ./nw test): makes the artifacts in dist/, makes
# them again in a build folder of its own and compares the bytes, runs
# lintian on the package, installs and removes it, and runs each Windows zip
# under Wine in the test LAN where this machine runs its build, checking the
# others without running them. Needs the Windows and native test builds (the
# UI driver, the stand-in firmware tool, the simulator).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
say() { printf '\n== %s\n' "$*"; }
. tools/wine/windows-arch.sh
nw_windows_plan || { echo "check_dist: $nw_plan_error" >&2; exit 2; }

# One date for both runs: a commit made while they run must not change it.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || SOURCE_DATE_EPOCH=$(stat -c %Y CMakeLists.txt)
export SOURCE_DATE_EPOCH
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

deb=$(ls dist/nwctl_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
expected=$(for arch in $(nw_all_archs); do echo "dist/nodewright-$version-windows-$arch.zip"; done | sort)
[ "$(ls dist/nodewright-*.zip)" = "$expected" ] || {
    echo "check_dist: the zips are not those of version $version for each build:" $(ls dist/nodewright-*.zip) >&2
    exit 1
}

say "lintian $deb"
# Not as root, which lintian advises against: a copy that anybody may read.
cp "$deb" "$again/"
chmod 0755 "$again"
(cd "$again" && runuser -u nobody -- lintian --fail-on error,warning,info,pedantic --display-info --pedantic "${deb##*/}")
echo "lintian: no tags"

say "installing and removing $deb"
tests/dist/check_deb.sh "$deb" "$version"

for arch in $(nw_all_archs); do
    zip=dist/nodewright-$version-windows-$arch.zip
    if nw_runs_here "$arch"; then
        say "running $zip under Wine"
        NW_DIST_ZIP=$root/$zip NW_VERSION=$version \
            tools/testlan/testlan --quiet --arch "$arch" -- python3 tests/dist/test_windows_zip.py
    else
        say "checking $zip without running it"
        echo "check_dist: $zip not run under Wine: ${nw_not_run[$arch]}"
        NW_DIST_ZIP=$root/$zip NW_VERSION=$version NW_WINE_ARCH=$arch \
            python3 tests/dist/test_windows_zip.py ZipContents
    fi
done
