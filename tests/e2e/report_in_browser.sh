#!/bin/sh
# The report page for known rows, loaded by a real browser (headless
# Chromium): every row's cells must be in the page it builds, and no script
# hidden in a client name or the company name may have run.
#   report_in_browser.sh <e2e_fixture> <work folder> <screenshot folder>
set -eu
. "$(dirname "$0")/lib.sh"
FIXTURE=$1 WORK=$2 SHOTS=$3
command -v chromium >/dev/null || fail "chromium is missing: run ./build.sh test once to install it"
rm -rf "$WORK"
mkdir -p "$WORK" "$SHOTS"
"$FIXTURE" "$WORK" || fail "could not write the report page"

browse() {
    profile=$(mktemp -d "$WORK/profile.XXXXXX")
    timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
        --disable-component-update --disable-sync --no-first-run --user-data-dir="$profile" \
        "$@" "file://$WORK/report.htm" 2>>"$WORK/chromium.log"
}
browse --dump-dom >"$WORK/dom.html" || { cat "$WORK/chromium.log" >&2; fail "chromium failed"; }
python3 "$E2E_DIR/check_report_dom.py" "$WORK/dom.html" || fail "the page in the browser is not the report"
browse --hide-scrollbars --window-size=900,260 --screenshot="$SHOTS/report.png" >/dev/null ||
    fail "chromium could not take a screenshot"
echo "all report rows are in the browser's page and no name ran as script"
