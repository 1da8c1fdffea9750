#!/bin/sh
# Installs the built program under a fresh prefix and checks that everything a
# desktop needs is there and nothing from the build tree is needed at run time.
#   check_install.sh <cmake> <build folder> <prefix>
set -eu
. "$(dirname "$0")/lib.sh"
CMAKE=$1 BUILD=$2 PREFIX=$3
rm -rf "$PREFIX"
"$CMAKE" --install "$BUILD" --prefix "$PREFIX" --strip >/dev/null || fail "cmake --install failed"
cd "$PREFIX"

for program in bin/hourloom bin/hourloom-cli; do
    [ -x $program ] || fail "no executable $program"
done
for file in share/man/man1/hourloom-cli.1.gz share/bash-completion/completions/hourloom-cli \
    share/hourloom/Hourloom1.chm share/hourloom/blank.htm lib/hourloom/hourloom-server.so \
    share/applications/hourloom.desktop share/hourloom/autostart/hourloom.desktop \
    share/icons/hicolor/scalable/apps/hourloom.svg; do
    [ -s $file ] || fail "missing or empty: $file"
done
head -c 4 share/hourloom/Hourloom1.chm | grep -q ITSF || fail "Hourloom1.chm is not a compiled help file"
for size in 16 22 24 32 48 64 128 256; do
    png=share/icons/hicolor/${size}x${size}/apps/hourloom.png
    file $png | grep -q "PNG image data, $size x $size," || fail "wrong or missing icon: $png"
done

for line in "Name=Hourloom" "GenericName=Time Tracker" "Categories=Office;ProjectManagement;"; do
    grep -qx "$line" share/applications/hourloom.desktop || fail "the menu entry lacks $line"
done
desktop-file-validate share/applications/hourloom.desktop share/hourloom/autostart/hourloom.desktop ||
    fail "desktop-file-validate found faults (package desktop-file-utils)"
[ ! -e etc/xdg/autostart ] || fail "the login entry must not be enabled for every user"

readelf -d bin/hourloom | grep -q "R.*PATH" && fail "the executable keeps a build-tree library path"
missing=$(ldd bin/hourloom bin/hourloom-cli lib/hourloom/hourloom-server.so | grep "not found" || true)
[ -z "$missing" ] || fail "libraries not found: $missing"
# The companion runs where no display library is installed.
ldd bin/hourloom-cli | grep -E "libQt6(Gui|Widgets)" && fail "hourloom-cli links a display library"
# The installed companion finds its server module: it gets as far as the
# (absent) server.
reason=$(bin/hourloom-cli --database "postgresql:///none?host=$PREFIX" status 2>&1 || true)
case "$reason" in *"cannot be loaded"*) fail "the installed server module is not found: $reason" ;; esac
echo "$reason" | grep -q "Cannot connect" || fail "a server that cannot be reached is not reported: $reason"
zcat share/man/man1/hourloom-cli.1.gz | grep -q "^.SH EXIT STATUS" ||
    fail "the manual page of hourloom-cli is not readable"

echo "installed size: $(du -sk . | cut -f1) kB (executable $(du -k bin/hourloom | cut -f1) kB)"
