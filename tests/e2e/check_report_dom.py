#!/usr/bin/env python3
"""Checks the page a browser built from the report written by
`e2e_fixture report`: its table holds exactly the expected rows (in any
order: the order is the report query's business), the names that carry
markup arrived as text, with no script of theirs run, and a name outside
ASCII reads as written (the browser took the page for UTF-8)."""
import sys
from html.parser import HTMLParser

SCRIPT_NAME = "<script>document.body.setAttribute('data-ran','client')</script>"
IMAGE_NAME = "<img src=x onerror=\"document.body.setAttribute('data-ran','image')\">"
EXPECTED = sorted([
    ["10", "Café Acme", "8", "Build", "1HRs 45Mins"],
    ["11", SCRIPT_NAME, "9", 'Design & "Review"', "1HRs 10Mins"],
    ["12", IMAGE_NAME, "9", "Design", "0HRs 45Mins"],
])
HEADER = ["Client Number", "Client Name", "Work Code", "Work Description", "Total Time"]


class Page(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows, self.cell, self.caption = [], None, ""
        self.in_caption = False
        self.body_attrs, self.elements = {}, []

    def handle_starttag(self, tag, attrs):
        self.elements.append(tag)
        if tag == "body":
            self.body_attrs = dict(attrs)
        elif tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self.cell = ""
        elif tag == "caption":
            self.in_caption = True

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self.cell is not None:
            self.rows[-1].append(" ".join(self.cell.split()))
            self.cell = None
        elif tag == "caption":
            self.in_caption = False

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data
        elif self.in_caption:
            self.caption += data


def main():
    page = Page()
    page.feed(open(sys.argv[1], encoding="utf-8").read())
    faults = []
    rows = [row for row in page.rows if row]
    if not rows or rows[0] != HEADER:
        faults.append(f"header row: {rows[:1]}")
    if sorted(rows[1:]) != EXPECTED:
        faults.append(f"data rows: {rows[1:]}")
    if "data-ran" in page.body_attrs:
        faults.append(f"a script from a name ran: {page.body_attrs['data-ran']}")
    # Markup in a name or the company name must not become elements.
    for tag in ("img", "i"):
        if tag in page.elements:
            faults.append(f"a <{tag}> element came from a name")
    if "Initech <i>Ltd</i>" not in page.caption:
        faults.append(f"caption: {page.caption!r}")
    for fault in faults:
        print("FAIL:", fault, file=sys.stderr)
    return 1 if faults else 0


sys.exit(main())
