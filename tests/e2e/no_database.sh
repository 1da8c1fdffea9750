#!/bin/sh
# The installed program with no settings and no database: the start-up
# message box comes up alone; after OK the Time and Settings window opens,
# and closing that window while there is still no database asks, then ends
# the program.
#   no_database.sh <prefix> <work folder> <screenshot folder>
set -eu
. "$(dirname "$0")/lib.sh"
run_under_xvfb "$@"
PREFIX=$1 WORK=$2 SHOTS=$3
mkdir -p "$WORK" "$SHOTS"
fresh_user_folders "$WORK"
start_tray

start_app "$PREFIX/bin/hourloom"
wait_until 20 has_window Hourloom DIALOG || { cat "$WORK/app.log" >&2; fail "no start-up message box"; }
[ -z "$(windows_of Hourloom NORMAL)" ] || fail "the Time Control window came up without a database"
box=$(windows_of Hourloom DIALOG | head -n 1)
sleep 0.5
import -window "$box" "$SHOTS/no-database.png" || fail "screenshot failed"

# OK (the default button) closes the message; then Time and Settings opens.
xdotool windowfocus --sync "$box" key Return
wait_until 10 has_window "Time and Settings" NORMAL || fail "no Time and Settings window after the message"
[ -z "$(windows_of Hourloom DIALOG)" ] || fail "the message box is still shown"
[ ! -e "$XDG_DATA_HOME/hourloom/Hourloom.HL1" ] || fail "a database appeared without being asked for"

# Closing it while there is still no database asks first; Yes ends the program.
python3 "$E2E_DIR/xclose.py" "$(windows_of "Time and Settings" NORMAL | head -n 1)"
question="Database Not Found\\.\\.\\.      Close Program\\?" # a pattern
wait_until 10 has_window "$question" DIALOG || fail "closing without a database asked nothing"
xdotool windowfocus --sync "$(windows_of "$question" DIALOG | head -n 1)" key Return
expect_exit 10
echo "start-up message, then Time and Settings; closing it and answering Yes ended the program"
