#!/bin/sh
# The installed program with an empty settings folder and an existing
# database: the splash hands over to the Time Control window, which is
# screenshotted and closed, leaving the program in the tray; Exit in the tray
# menu ends it. The program runs from a copy of the installation moved to
# another folder and must still find its help file there. Prints the
# start-to-window time and the idle memory.
#   time_control.sh <prefix> <e2e_fixture> <work folder> <screenshot folder>
set -eu
. "$(dirname "$0")/lib.sh"
run_under_xvfb "$@"
PREFIX=$1 FIXTURE=$2 WORK=$3 SHOTS=$4
mkdir -p "$WORK" "$SHOTS"
fresh_user_folders "$WORK"
"$FIXTURE" database "$XDG_DATA_HOME/hourloom/Hourloom.HL1" || fail "could not make the database"
start_tray

# The program and its data files, moved away from where they were installed.
MOVED="$WORK/moved"
rm -rf "$MOVED"
mkdir -p "$MOVED/bin" "$MOVED/share"
cp "$PREFIX/bin/hourloom" "$MOVED/bin/"
cp -r "$PREFIX/share/hourloom" "$MOVED/share/"

started=$(now_ms)
start_app "$MOVED/bin/hourloom"
wait_until 20 has_window Hourloom SPLASH || { cat "$WORK/app.log" >&2; fail "no splash window"; }
echo "start to splash: $(($(now_ms) - started)) ms"
wait_until 20 has_window Hourloom NORMAL || { cat "$WORK/app.log" >&2; fail "no Time Control window"; }
echo "start to Time Control window: $(($(now_ms) - started)) ms"
[ -z "$(windows_of Hourloom DIALOG)" ] || fail "a message box came up at start-up"

control=$(windows_of Hourloom NORMAL | head -n 1)
splash_gone() { ! has_window Hourloom SPLASH; }
wait_until 5 splash_gone || fail "the splash stays beside the Time Control window"
sleep 1 # let the first paint land before the screenshot
import -window "$control" "$SHOTS/time-control.png" || fail "screenshot failed"
echo "idle RSS, Time Control window open: $(rss_kb) kB"

# The Help button (last of the second row of picture buttons) opens the help
# window only if the help file is found beside the moved program.
xdotool mousemove --window "$control" 401 194 click 1
wait_until 10 has_window "Hourloom Help" NORMAL || {
    import -window root "$WORK/help-failed.png"
    fail "the Help button opened no help window (see $WORK/help-failed.png)"
}
python3 "$E2E_DIR/xclose.py" "$(windows_of "Hourloom Help" NORMAL | head -n 1)"
no_help() { ! has_window "Hourloom Help" NORMAL; }
wait_until 10 no_help || fail "the help window did not close"

# Closing the window leaves the program in the tray.
python3 "$E2E_DIR/xclose.py" "$control"
no_control() { ! has_window Hourloom NORMAL; }
wait_until 10 no_control || fail "the Time Control window did not close"
sleep 2
kill -0 "$APP_PID" 2>/dev/null || fail "closing the Time Control window ended the program"
echo "idle RSS, Time Control window closed: $(rss_kb) kB"

# The tray menu: right click on the icon, first item Exit.
eval "$(xdotool search --onlyvisible --name '^panel$' getwindowgeometry --shell | head -n 5)"
xdotool mousemove $((X + 16)) $((Y + 16)) click 3
wait_until 10 has_popup_menu || fail "right click on the tray icon showed no menu"
menu=$(popup_menus | head -n 1)
import -window "$menu" "$SHOTS/tray-menu.png" 2>/dev/null || true
eval "$(xdotool getwindowgeometry --shell "$menu")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + 12)) click 1
expect_exit 10
echo "Exit in the tray menu ended the program"
