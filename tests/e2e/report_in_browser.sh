#!/bin/sh
# The report page of known records, written by the installed hourloom-cli with
# the Report window's own page writer, as headless Chromium builds it.
#   report_in_browser.sh <install prefix> <work folder> <screenshot folder>
set -eu
. "$(dirname "$0")/lib.sh"
PREFIX=$1 WORK=$2 SHOTS=$3
command -v chromium >/dev/null || fail "chromium is missing: run ./build.sh test once to install it"
rm -rf "$WORK"
mkdir -p "$WORK" "$SHOTS"
export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
cli() {
    "$PREFIX/bin/hourloom-cli" --database "$WORK/report.HL1" --employee Pat "$@" >/dev/null ||
        fail "hourloom-cli $*"
}
cli init "$WORK/report.HL1"
# A name that would run script if the page copied it unescaped, and one that a
# browser shows right only if it reads the page as UTF-8.
cli clients add "Café Acme" 10
cli clients add "<script>document.body.setAttribute('data-ran','client')</script>" 11
cli works add Build 8
cli works add 'Design & "Review"' 9
cli track 10 8 --from "3/4/2024 9:00" --minutes 90
cli track 11 9 --from "3/4/2024 13:00" --minutes 70
cli report --from 3/4/2024 --to 3/10/2024 --format html --output "$WORK/report.htm"

browse() {
    timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
        --disable-component-update --disable-sync --no-first-run \
        --user-data-dir="$(mktemp -d "$WORK/profile.XXXXXX")" "$@" "file://$WORK/report.htm" \
        2>>"$WORK/chromium.log" || fail "chromium $1: $(cat "$WORK/chromium.log")"
}
browse --dump-dom >"$WORK/dom.html"
# The page's text as the browser built it ends with the report: every row, each
# name as text (not markup) and read as UTF-8.
text=$(sed 's/<[^>]*>/ /g' "$WORK/dom.html" | tr -s ' \n\r\t' ' ')
case "$text" in
*" Hourloom Pat Client Number Client Name Work Code Work Description Total Time \
11 &lt;script&gt;document.body.setAttribute('data-ran','client')&lt;/script&gt; 9 \
Design &amp; \"Review\" 1HRs 10Mins 10 Café Acme 8 Build 1HRs 30Mins ") ;;
*) fail "the report in the browser: $text" ;;
esac
browse --hide-scrollbars --window-size=900,220 --screenshot="$SHOTS/report.png" >/dev/null
