#!/bin/sh
# Whole-process times of hourloom-cli beside Timewarrior on the same records.
#
# Hourloom: the 1,000,000-record file of bench_reports (54 employees, ten
# records a working day each over five years, 2021 to 2025). Timewarrior:
# a database holding the same employee's records ("Employee 0", 18,519
# intervals), written by this script with the same formula. Both run in UTC
# on one machine in one hyperfine run.
#
#   bench/compare_timewarrior.sh [build folder] [work folder]
#
# Needs hyperfine and timewarrior (Debian packages of the same names) and a
# built tree (bench_reports, hourloom-cli). Writes the tables as Markdown to
# <work folder>/compare.md.
set -eu
BUILD=$(cd "${1:-build}" && pwd)
WORK=${2:-/tmp/hourloom-compare}
CLI=$BUILD/cli/hourloom-cli
mkdir -p "$WORK"
export TZ=UTC
FILE=$WORK/hourloom-bench-reports-1000000.HL1

if [ ! -f "$FILE" ]; then
    echo "Writing the 1,000,000-record file (a few minutes) ..."
    TMPDIR=$WORK "$BUILD/bench/bench_reports" \
        --benchmark_filter='BM_Report/records:1000000/days:7/daily:0' >/dev/null
fi
# The companion's settings, data and key cache stay inside the work folder.
export XDG_CONFIG_HOME=$WORK/config XDG_DATA_HOME=$WORK/data XDG_CACHE_HOME=$WORK/cache
export HOURLOOM_NOW=2025-12-31T17:00:00
# The first open adds the report index and keeps the file's key.
"$CLI" --database "$FILE" check >/dev/null

export TIMEWARRIORDB=$WORK/timewarrior
if [ ! -d "$TIMEWARRIORDB/data" ]; then
    echo "Writing the Timewarrior database ..."
    mkdir -p "$TIMEWARRIORDB/data"
    : >"$TIMEWARRIORDB/timewarrior.cfg"
    python3 - "$TIMEWARRIORDB/data" <<'PY'
import collections, datetime, sys
# bench_reports' fill(): record i belongs to employee i % 54; its slot is the
# employee's n-th record; ten 45-minute records a day from 8:00, 50 minutes apart.
records, employees, per_day, days = 1_000_000, 54, 10, 365 * 5
first = datetime.datetime(2021, 1, 1, 8, 0)
months = collections.defaultdict(list)
for i in range(0, records, employees):
    slot = i // employees
    day = first + datetime.timedelta(days=(slot // per_day) % days)
    begin = day + datetime.timedelta(minutes=(slot % per_day) * 50)
    end = begin + datetime.timedelta(minutes=45)
    line = 'inc %s - %s # "Client %d" "Work %d"' % (
        begin.strftime("%Y%m%dT%H%M%SZ"), end.strftime("%Y%m%dT%H%M%SZ"), (i * 7) % 30, (i * 3) % 15)
    months[begin.strftime("%Y-%m")].append((begin, line))
for month, lines in months.items():
    with open("%s/%s.data" % (sys.argv[1], month), "w") as out:
        out.writelines(line + "\n" for _, line in sorted(lines))
PY
    timew summary 2021-01-01 - 2021-01-02 >/dev/null 2>&1 || true # builds its tag index
fi

hl() { printf '%s' "$CLI --database $FILE --employee 'Employee 0' $*"; }
# timew alone exits with 1 when nothing is being tracked: failures are ignored.
# Two floors under every command: loading the libraries the companion links
# (startup_floor), and that plus the companion's start without a database.
hyperfine -N -i --warmup 5 --runs 40 --export-markdown "$WORK/compare.md" \
    --export-json "$WORK/compare.json" \
    -n "libraries alone (Qt Core, SQLCipher, libcrypto)" "$BUILD/bench/startup_floor" \
    -n "hourloom-cli --version (start only)" "$CLI --version" \
    -n "hourloom-cli status" "$(hl status)" \
    -n "hourloom-cli day" "$(hl day 2024-06-03)" \
    -n "hourloom-cli report (one year)" "$(hl report --from 2024-01-01 --to 2024-12-31)" \
    -n "hourloom-cli report --daily (one year)" "$(hl report --daily --from 2024-01-01 --to 2024-12-31)" \
    -n "timew (status)" "timew" \
    -n "timew day" "timew day 2024-06-03" \
    -n "timew summary (one year)" "timew summary 2024-01-01 - 2025-01-01"
cat "$WORK/compare.md"
echo
python3 - "$WORK/compare.json" <<'PY'
import json, sys
print("| Command | Median [ms] | User + System [ms] |")
print("|:---|---:|---:|")
for r in json.load(open(sys.argv[1]))["results"]:
    print("| `%s` | %.1f | %.1f |" % (r["command"], r["median"] * 1e3, (r["user"] + r["system"]) * 1e3))
PY
