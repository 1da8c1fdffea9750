#!/bin/sh
# Installs the built program under a fresh prefix and checks that everything a
# desktop needs is there: the executable, its data files, the icon theme
# files, a valid menu entry, and the login entry kept out of autostart.
#   check_install.sh <cmake> <build folder> <prefix>
set -eu
. "$(dirname "$0")/lib.sh"
CMAKE=$1 BUILD=$2 PREFIX=$3
rm -rf "$PREFIX"
"$CMAKE" --install "$BUILD" --prefix "$PREFIX" --strip >/dev/null || fail "cmake --install failed"

[ -x "$PREFIX/bin/hourloom" ] || fail "no executable bin/hourloom"
[ -x "$PREFIX/bin/hourloom-cli" ] || fail "no executable bin/hourloom-cli"
for file in share/man/man1/hourloom-cli.1.gz share/bash-completion/completions/hourloom-cli \
    share/hourloom/Hourloom1.chm share/hourloom/blank.htm \
    share/applications/hourloom.desktop share/hourloom/autostart/hourloom.desktop \
    share/icons/hicolor/scalable/apps/hourloom.svg; do
    [ -s "$PREFIX/$file" ] || fail "missing or empty: $file"
done
head -c 4 "$PREFIX/share/hourloom/Hourloom1.chm" | grep -q ITSF || fail "Hourloom1.chm is not a compiled help file"
for size in 16 22 24 32 48 64 128 256; do
    png="$PREFIX/share/icons/hicolor/${size}x${size}/apps/hourloom.png"
    file "$png" | grep -q "PNG image data, $size x $size," || fail "wrong or missing icon: $png"
done

entry="$PREFIX/share/applications/hourloom.desktop"
grep -qx "Name=Hourloom" "$entry" || fail "menu entry name"
grep -qx "GenericName=Time Tracker" "$entry" || fail "menu entry generic name"
grep -qx "Categories=Office;ProjectManagement;" "$entry" || fail "menu entry categories"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" "$PREFIX/share/hourloom/autostart/hourloom.desktop" ||
        fail "desktop-file-validate found faults"
else
    echo "note: desktop-file-validate not installed (package desktop-file-utils)"
fi
[ ! -e "$PREFIX/etc/xdg/autostart" ] || fail "the login entry must not be enabled for every user"

# Nothing from the build tree may be needed at run time.
if readelf -d "$PREFIX/bin/hourloom" | grep -q "R.*PATH"; then
    fail "the executable keeps a build-tree library path"
fi
module=$PREFIX/lib/hourloom/hourloom-server.so
[ -s "$module" ] || fail "missing the server module lib/hourloom/hourloom-server.so"
missing=$(ldd "$PREFIX/bin/hourloom" "$PREFIX/bin/hourloom-cli" "$module" | grep "not found" || true)
[ -z "$missing" ] || fail "libraries not found: $missing"
# The companion runs where no display library is installed.
if ldd "$PREFIX/bin/hourloom-cli" | grep -E "libQt6(Gui|Widgets)"; then
    fail "hourloom-cli links a display library"
fi
# The installed companion finds its server module: it gets as far as the
# (absent) server.
reason=$("$PREFIX/bin/hourloom-cli" --database "postgresql:///none?host=$PREFIX" status 2>&1 || true)
case "$reason" in *"cannot be loaded"*) fail "the installed server module is not found: $reason" ;; esac
echo "$reason" | grep -q "Cannot connect" || fail "a server that cannot be reached is not reported: $reason"
zcat "$PREFIX/share/man/man1/hourloom-cli.1.gz" | grep -q "^.SH EXIT STATUS" ||
    fail "the manual page of hourloom-cli is not readable"

echo "installed size: $(du -sk "$PREFIX" | cut -f1) kB (executable $(du -k "$PREFIX/bin/hourloom" | cut -f1) kB)"
