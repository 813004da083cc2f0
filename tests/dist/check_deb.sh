#!/usr/bin/env bash
# The .deb as a Linux user gets it, on this machine (as root): it installs
# with dpkg -i, nwctl tells its version and has a manual page, and removal
# leaves nothing of it behind.
#   tests/dist/check_deb.sh nwctl_VERSION_amd64.deb VERSION
set -euo pipefail
deb=$(realpath "$1")
version=$2
fail() { echo "check_deb: $*" >&2; exit 1; }

if dpkg-query -W -f='${Status}' nwctl 2>/dev/null | grep -q ' installed$'; then
    fail "nwctl is installed on this machine already; remove it (dpkg -r nwctl) to check the package"
fi
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
# What the package holds: its files, and the folders only it makes.
mapfile -t files < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's#^\./\(.*[^/]\)$#/\1#p')
[ ${#files[@]} -gt 0 ] || fail "the package holds no files"

dpkg -i "$deb" >/dev/null
[ "$(command -v nwctl)" = /usr/bin/nwctl ] || fail "nwctl is not /usr/bin/nwctl"
[ "$(nwctl --version)" = "nwctl $version" ] || fail "nwctl --version says '$(nwctl --version)'"
[ "$(man -w nwctl)" = /usr/share/man/man1/nwctl.1.gz ] || fail "man -w nwctl says '$(man -w nwctl)'"
warnings=$(MANWIDTH=80 man --warnings nwctl 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "the manual page has warnings: $warnings"

dpkg --purge nwctl >/dev/null
status=$(dpkg-query -W -f='${Status}' nwctl 2>/dev/null || true)
case $status in "" | *" not-installed") ;; *) fail "dpkg still knows nwctl: $status" ;; esac
for f in "${files[@]}" /usr/share/doc/nwctl; do
    [ ! -e "$f" ] || fail "$f is left after removal"
done
echo "check_deb: installs, nwctl $version and man -w nwctl work, removal leaves nothing"
