# Shared helpers of the end-to-end scripts: a real X server, a tray host, and
# ways to find and drive the program's windows without a window manager.

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
        for tool in xauth trayer xdotool xprop import python3; do
            command -v $tool >/dev/null || fail "$tool is missing: run ./build.sh test once to install it"
        done
        HOURLOOM_E2E_INNER=1 exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" "$0" "$@"
    fi
}

now_ms() { date +%s%3N; }

# Polls `$@` every 20 ms until it succeeds or `timeout_s` seconds pass.
wait_until() {
    timeout_s=$1
    shift
    deadline=$(($(now_ms) + timeout_s * 1000))
    until "$@"; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.02
    done
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

tray_ready() { xdotool search --onlyvisible --name '^panel$' >/dev/null 2>&1; }

# trayer, a small notification-area host, in the bottom right corner, away
# from where windows appear when there is no window manager to place them.
start_tray() {
    trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
        --expand true --transparent false >/dev/null 2>&1 &
    TRAY_PID=$!
    wait_until 10 tray_ready || fail "the tray host did not come up"
}

is_override_redirect() { xwininfo -id "$1" 2>/dev/null | grep -q "Override Redirect State: yes"; }
is_top_level() { xwininfo -children -id "$1" 2>/dev/null | grep -q "Parent window id: .*(the root window)"; }

# Visible windows whose whole title matches this pattern and whose window type
# is this one (NORMAL, DIALOG, SPLASH ...), one id a line. Popups (menus,
# tooltips) bypass the window manager and are left out.
windows_of() {
    title=$1 type=$2
    for id in $(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null); do
        xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q "= _NET_WM_WINDOW_TYPE_$type\b" &&
            ! is_override_redirect "$id" && echo "$id"
    done
}

# The program's open pop-up menus: its visible top-level windows that bypass
# the window manager (the tray icon itself sits inside the tray host).
popup_menus() {
    for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
        is_override_redirect "$id" && is_top_level "$id" && echo "$id"
    done
}

has_window() { [ -n "$(windows_of "$1" "$2")" ]; }
has_popup_menu() { [ -n "$(popup_menus)" ]; }
app_gone() { ! kill -0 "$APP_PID" 2>/dev/null; }

start_app() {
    "$@" >"$WORK/app.log" 2>&1 &
    APP_PID=$!
}

# Waits for the program to end by itself and checks that it ended well.
expect_exit() {
    wait_until "$1" app_gone || fail "the program is still running"
    wait "$APP_PID" && return 0
    code=$?
    cat "$WORK/app.log" >&2
    fail "the program ended with status $code"
}

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$APP_PID/status"; }

# Ends what the script started (by process id) and keeps the script's status.
cleanup() {
    status=$?
    for pid in ${APP_PID:-} ${TRAY_PID:-}; do
        kill "$pid" 2>/dev/null || true
    done
    exit $status
}
trap cleanup EXIT
