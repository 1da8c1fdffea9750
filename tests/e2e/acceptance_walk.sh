#!/bin/sh
# Runs acceptance_walk.py under a fresh X server and a private session bus.
#   acceptance_walk.sh <prefix> <work folder> <screenshot folder>
set -eu
. "$(dirname "$0")/lib.sh"
for tool in xvfb-run Xvfb dbus-run-session sqlcipher /usr/libexec/at-spi-bus-launcher; do
    command -v $tool >/dev/null || skip "$tool is missing (xvfb, dbus, sqlcipher, at-spi2-core)"
done
/usr/bin/python3 -c "import gi; gi.require_version('Atspi', '2.0')" 2>/dev/null ||
    skip "the accessibility library for Python is missing (package python3-pyatspi)"
for tool in xauth trayer xdotool import; do
    command -v $tool >/dev/null || fail "$tool is missing: run ./build.sh test once to install it"
done
exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" \
    dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/acceptance_walk.py" "$@"
