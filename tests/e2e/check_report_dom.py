#!/usr/bin/env python3
"""Checks the page a browser built from the report of report_in_browser.sh
(written out in a form regular enough for patterns): the table's cells as
written, markup in names shown as text with no script of theirs run, and a
name outside ASCII read as written."""
import html
import re
import sys

EXPECTED = ["Client Number", "Client Name", "Work Code", "Work Description", "Total Time",
            "11", "<script>document.body.setAttribute('data-ran','client')</script>", "9",
            'Design & "Review"', "1HRs 10Mins",
            "10", "Café Acme", "8", "Build", "1HRs 45Mins"]

page = open(sys.argv[1], encoding="utf-8").read()
cells = [" ".join(html.unescape(re.sub(r"<[^>]*>", "", cell)).split())
         for cell in re.findall(r"<t[dh][^>]*>(.*?)</t[dh]>", page, re.S)]
if cells != EXPECTED:
    sys.exit(f"FAIL: the report's cells in the browser: {cells}")
if re.search(r"<body[^>]*data-ran", page):
    sys.exit("FAIL: a script from a name ran")
