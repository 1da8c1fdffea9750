#!/usr/bin/env python3
"""Checks the page a browser built from the report of report_in_browser.sh
(written out in a form regular enough for patterns): exactly the expected rows
in any order (the order is the report query's business), markup in names as
text with no script of theirs run, and a name outside ASCII read as written."""
import html
import re
import sys

SCRIPT_NAME = "<script>document.body.setAttribute('data-ran','client')</script>"
IMAGE_NAME = "<img src=x onerror=\"document.body.setAttribute('data-ran','image')\">"
EXPECTED = sorted([
    ["10", "Café Acme", "8", "Build", "1HRs 45Mins"],
    ["11", SCRIPT_NAME, "9", 'Design & "Review"', "1HRs 10Mins"],
    ["12", IMAGE_NAME, "7", "Design", "0HRs 45Mins"],
])
HEADER = ["Client Number", "Client Name", "Work Code", "Work Description", "Total Time"]


def text(markup):
    return " ".join(html.unescape(re.sub(r"<[^>]*>", "", markup)).split())


page = open(sys.argv[1], encoding="utf-8").read()
rows = [[text(cell) for cell in re.findall(r"<t[dh][^>]*>(.*?)</t[dh]>", row, re.S)]
        for row in re.findall(r"<tr[^>]*>(.*?)</tr>", page, re.S)]
rows = [row for row in rows if row]
faults = []
if rows[:1] != [HEADER]:
    faults.append(f"header row: {rows[:1]}")
if sorted(rows[1:]) != EXPECTED:
    faults.append(f"data rows: {rows[1:]}")
if ran := re.search(r"<body[^>]*data-ran=\"(\w*)", page):
    faults.append(f"a script from a name ran: {ran[1]}")
# Markup in a name or the company name must not become elements.
if element := re.search(r"<(img|i)[\s>]", page):
    faults.append(f"a <{element[1]}> element came from a name")
if "Initech <i>Ltd</i>" not in text("".join(re.findall(r"<caption.*?</caption>", page, re.S))):
    faults.append("the company name in the caption")
for fault in faults:
    print("FAIL:", fault, file=sys.stderr)
sys.exit(1 if faults else 0)
