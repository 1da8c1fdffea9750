#!/bin/sh
# Builds the Debian package and checks what it declares: the runtime libraries
# the program links, no development packages, the files of an install, and
# that apt can resolve it on this system.
#   debian_package.sh <cpack> <build folder> <output folder> <install prefix>
set -eu
. "$(dirname "$0")/lib.sh"
CPACK=$1 BUILD=$2 OUT=$3 PREFIX=$4
rm -rf "$OUT"
mkdir -p "$OUT"
cd "$OUT"
"$CPACK" -G DEB --config "$BUILD/CPackConfig.cmake" -B "$OUT" >cpack.log 2>&1 ||
    fail "cpack: $(cat cpack.log)"
deb=$(ls hourloom_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6printsupport6 libqt6gui6 libqt6core6 libsqlcipher0 libchm1 libpq5 libc6 libstdc++6; do
    echo "$depends" | grep -q "\b$package\b" || fail "the package does not depend on $package"
done
echo "$depends" | grep -q -- "-dev\b" && fail "the package depends on a development package"
packaged=$(dpkg-deb -c "$deb" | awk '$6 !~ /\/$/ {print $6}' | sed 's|^\./usr/|./|' | sort)
[ "$packaged" = "$(cd "$PREFIX" && find . ! -type d | sort)" ] ||
    fail "the package's files under /usr differ from an install's: $packaged"
apt-get install --simulate --no-install-recommends "./$deb" >apt.log 2>&1 || fail "$(cat apt.log)"
echo "package: $deb, $(du -k "$deb" | cut -f1) kB, installed size $(dpkg-deb -f "$deb" Installed-Size) kB"
