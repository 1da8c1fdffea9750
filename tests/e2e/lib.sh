# Shared helpers of the end-to-end scripts: a real X server and a tray host.

E2E_DIR=$(cd "$(dirname "$0")" && pwd)
SKIP=77

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Re-runs the calling script inside a fresh X server, or skips without one.
run_under_xvfb() {
    if [ -z "${HOURLOOM_E2E_INNER:-}" ]; then
        command -v xvfb-run >/dev/null || { echo "SKIP: xvfb-run is not installed (package xvfb)"; exit $SKIP; }
        command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed (package xvfb)"; exit $SKIP; }
        for tool in xauth trayer xdotool xprop xwininfo import python3; do
            command -v $tool >/dev/null || fail "$tool is missing: run ./build.sh test once to install it"
        done
        HOURLOOM_E2E_INNER=1 exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" "$0" "$@"
    fi
}

# A fresh, empty settings folder and data folder for one run of the program.
fresh_user_folders() {
    export XDG_CONFIG_HOME="$1/config" XDG_DATA_HOME="$1/data" XDG_RUNTIME_DIR="$1/runtime"
    rm -rf "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    # The installed program must find its own files: no test overrides.
    unset HOURLOOM_DATA_DIR
    export QT_QPA_PLATFORM=xcb
}

# trayer, a small notification-area host, in the bottom right corner, away
# from where windows appear when there is no window manager to place them.
start_tray() {
    trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
        --expand true --transparent false >/dev/null 2>&1 &
    TRAY_PID=$!
    for _ in $(seq 500); do
        xdotool search --onlyvisible --name '^panel$' >/dev/null 2>&1 && return 0
        sleep 0.02
    done
    fail "the tray host did not come up"
}

# Ends what the script started (by process id) and keeps the script's status.
cleanup() {
    status=$?
    [ -z "${TRAY_PID:-}" ] || kill "$TRAY_PID" 2>/dev/null || true
    exit $status
}
trap cleanup EXIT
