#!/bin/sh
# The acceptance walk: the installed program, moved away from where it was
# installed and started with no settings and no database, used from the first
# start to Exit the way a person using assistive technology would, through the
# accessibility bus only (the tray menu, which Qt does not put on the bus,
# through xdotool). The effects are checked in the database and settings files.
#   acceptance_walk.sh <prefix> <work folder> <screenshot folder>
set -eu
. "$(dirname "$0")/lib.sh"
skip() {
    echo "SKIP: $*"
    exit $SKIP
}
if [ -z "${HOURLOOM_E2E_INNER:-}" ]; then
    command -v dbus-run-session >/dev/null || skip "dbus-run-session is missing (package dbus)"
    command -v sqlcipher >/dev/null || skip "sqlcipher is missing (package sqlcipher)"
    [ -x /usr/libexec/at-spi-bus-launcher ] ||
        skip "the accessibility bus is missing (package at-spi2-core)"
    /usr/bin/python3 -c "import gi; gi.require_version('Atspi', '2.0')" 2>/dev/null ||
        skip "the accessibility library for Python is missing (package python3-pyatspi)"
fi
run_under_xvfb "$@"
PREFIX=$1 WORK=$2 SHOTS=$3
mkdir -p "$WORK" "$SHOTS"
fresh_user_folders "$WORK"
# The program and its data files moved away: it must still find its help file.
MOVED="$WORK/moved"
rm -rf "$MOVED"
mkdir -p "$MOVED/bin" "$MOVED/share"
cp "$PREFIX/bin/hourloom" "$MOVED/bin/"
cp -r "$PREFIX/share/hourloom" "$MOVED/share/"
start_tray
# A private session bus; the walk starts the accessibility bus on it.
dbus-run-session -- /usr/bin/python3 "$E2E_DIR/acceptance_walk.py" "$MOVED/bin/hourloom" \
    "$WORK" "$SHOTS"
