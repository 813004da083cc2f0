#!/usr/bin/env bash
# The release artifacts (./nw dist):
#   OUT/nodewright-VERSION-windows-x86.zip   the window program and nwctl.exe,
#                                            32-bit: for every Windows
#   OUT/nodewright-VERSION-windows-x64.zip   the same, 64-bit: for sites whose
#                                            policy asks for 64-bit programs
#   OUT/nwctl_VERSION_amd64.deb          nwctl for Debian and Ubuntu
#   OUT/SHA256SUMS
# made by release builds under BUILD. Every date in them is
# the last commit's, so the same commit gives the same bytes.
#   packaging/dist.sh [OUT [BUILD]]      (default: dist/ and build/dist/)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(realpath -m "${1:-$root/dist}")
build=$(realpath -m "${2:-$root/build/dist}")
cd "$root"
. tools/wine/windows-arch.sh

# A date given by the caller holds, so that two runs compared byte for byte
# agree even when a commit lands between them.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || SOURCE_DATE_EPOCH=$(stat -c %Y CMakeLists.txt)
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
umask 022

say() { printf '\n== %s\n' "$*"; }

archs=$(nw_all_archs)
for arch in $archs; do
    say "building the Windows executables, $arch (release)"
    cmake --preset "$(nw_windows_preset "$arch")" -B "$build/windows-$arch" \
        -DCMAKE_BUILD_TYPE=Release -DNW_TESTS=OFF -DNW_RELEASE=ON >/dev/null
    cmake --build "$build/windows-$arch" --target Nodewright nwctl
done

say "building nwctl for Linux (release, Debian's hardening flags)"
(
    eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
    CXXFLAGS="$CXXFLAGS $CPPFLAGS" CFLAGS="$CFLAGS $CPPFLAGS" \
        cmake -S . -B "$build/linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNW_TESTS=OFF -DNW_RELEASE=ON >/dev/null
)
cmake --build "$build/linux" --target nwctl

nwctl=$build/linux/bin/nwctl
version=$("$nwctl" --version)
version=${version#nwctl }
deb_name=nwctl_${version}_amd64.deb
mkdir -p "$out"
rm -f "$out"/nodewright-*-windows*.zip "$out"/nwctl_*_amd64.deb "$out/SHA256SUMS"

say "writing the site guide"
stage=$build/stage
rm -rf "$stage"
mkdir -p "$stage"
# The guide's quick reference is nwctl's own help, the same on Windows.
"$nwctl" --help >"$stage/nwctl-help.txt"
python3 - packaging/windows/site-guide.txt "$stage/nwctl-help.txt" "$version" >"$stage/SITE-GUIDE.txt" <<'EOF'
import sys
guide, help_text = (open(path).read() for path in sys.argv[1:3])
help_text = "\n".join("  " + line if line else "" for line in help_text.rstrip("\n").split("\n"))
sys.stdout.write(guide.replace("@VERSION@", sys.argv[3]).replace("@NWCTL_HELP@", help_text))
EOF
top=nodewright-$version
zip_names=()
for arch in $archs; do
    zip_names+=("nodewright-$version-windows-$arch.zip")
    say "packing ${zip_names[-1]}"
    python3 packaging/make_zip.py "$out/${zip_names[-1]}" \
        "$top/Nodewright.exe=$build/windows-$arch/bin/Nodewright.exe" \
        "$top/nwctl.exe=$build/windows-$arch/bin/nwctl.exe" \
        "$top/ExtensionTool/=" \
        "$top/ExtensionTool/README.txt=packaging/windows/ExtensionTool-readme.txt" \
        "$top/SITE-GUIDE.txt=$stage/SITE-GUIDE.txt" \
        "$top/LICENSE.txt=LICENSE"
done

say "packing $deb_name"
deb=$build/deb
rm -rf "$deb"
mkdir -p "$deb/debian" "$deb/root/DEBIAN" "$deb/root/usr/bin" "$deb/root/usr/share/man/man1" \
    "$deb/root/usr/share/doc/nwctl"
cp packaging/debian/control "$deb/debian/control"
maintainer=$(sed -n 's/^Maintainer: //p' packaging/debian/control)
sed -e "s/@VERSION@/$version/g" -e "s/@MAINTAINER@/$maintainer/" \
    -e "s/@DATE@/$(date -R -d "@$SOURCE_DATE_EPOCH")/" packaging/debian/changelog.in >"$deb/debian/changelog"
install -m 0755 "$nwctl" "$deb/root/usr/bin/nwctl"
# As Debian's own packaging strips: the compiler's notes go too.
strip --remove-section=.comment --remove-section=.note --strip-unneeded "$deb/root/usr/bin/nwctl"
gzip -9n <nwctl/nwctl.1 >"$deb/root/usr/share/man/man1/nwctl.1.gz"
install -D -m 0644 packaging/debian/lintian-overrides "$deb/root/usr/share/lintian/overrides/nwctl"
gzip -9n <"$deb/debian/changelog" >"$deb/root/usr/share/doc/nwctl/changelog.gz"
# The license, in the machine-readable copyright format: its text from the
# first paragraph on, indented, blank lines as " .".
{
    cat packaging/debian/copyright
    sed -n '/^Permission/,$p' LICENSE | sed -e 's/^$/./' -e 's/^/ /'
} >"$deb/root/usr/share/doc/nwctl/copyright"
chmod 0644 "$deb/root/usr/share/doc/nwctl/"* "$deb/root/usr/share/man/man1/nwctl.1.gz"
(
    cd "$deb"
    dpkg-shlibdeps -Tdebian/substvars root/usr/bin/nwctl
    dpkg-gencontrol -pnwctl -Proot -Tdebian/substvars
    cd root
    find usr -type f | sort | xargs md5sum >DEBIAN/md5sums
    chmod 0644 DEBIAN/md5sums
)
find "$deb/root" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
dpkg-deb --root-owner-group -Zxz --build "$deb/root" "$out/$deb_name" >/dev/null

(cd "$out" && sha256sum "${zip_names[@]}" "$deb_name" >SHA256SUMS)
say "in $out:"
(cd "$out" && ls -l "${zip_names[@]}" "$deb_name" SHA256SUMS)
