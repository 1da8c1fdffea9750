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
for file in bin/hourloom bin/hourloom-cli share/man/man1/hourloom-cli.1.gz \
    share/bash-completion/completions/hourloom-cli share/hourloom/Hourloom1.chm \
    share/hourloom/blank.htm lib/hourloom/hourloom-server.so share/applications/hourloom.desktop \
    share/hourloom/autostart/hourloom.desktop share/icons/hicolor/scalable/apps/hourloom.svg \
    share/icons/hicolor/48x48/apps/hourloom.png; do
    [ -s $file ] || fail "missing or empty: $file"
done
[ ! -e etc/xdg/autostart ] || fail "the login entry must not be enabled for every user"

readelf -d bin/hourloom | grep -q "R.*PATH" && fail "the executable keeps a build-tree library path"
missing=$(ldd bin/hourloom bin/hourloom-cli lib/hourloom/hourloom-server.so | grep "not found" || true)
[ -z "$missing" ] || fail "libraries not found: $missing"
# The companion runs where no display library is installed.
ldd bin/hourloom-cli | grep -E "libQt6(Gui|Widgets)" && fail "hourloom-cli links a display library"
# The installed companion loads its server module and gets as far as the (absent) server.
reason=$(bin/hourloom-cli --database "postgresql:///none?host=$PREFIX" status 2>&1 || true)
echo "$reason" | grep -q "Cannot connect" || fail "the server module is not loaded: $reason"
echo "installed size: $(du -sk . | cut -f1) kB (executable $(du -k bin/hourloom | cut -f1) kB)"
