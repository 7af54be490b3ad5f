#!/usr/bin/python3
"""Opens every golden HTML plan report in headless Chromium and checks the
match chart and the lists as a reader sees them.

usage: planReportInBrowser.py CHROMIUM CASES_FOLDER OUT_FOLDER

For each reports/<case>/expected.html:
- The DOM that Chromium builds holds exactly the elements and texts the
  writer wrote, in its order; the report's heading shows as the title, and
  every text of the case's script with markup characters shows as text.
- Every chart keeps its cells in the heading columns and the grid's rows,
  lined up with them (the report writer's own checks), and every cell holds
  the chart's three lines.
- Every mail link leads to the address it shows.
- A screenshot, OUT_FOLDER/<case>.png, of the window's size that shows
  something (when the report wrote anything).
"""

import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "core"))
import htmlReportInBrowser as browser  # noqa: E402

LINES_PER_CELL = 3


def check_case(chromium, folder, out):
    name = os.path.basename(folder)
    with open(os.path.join(folder, "plan"), encoding="utf-8") as f:
        script = f.read()
    written, page, shot = browser.open_case(chromium, folder, out)

    problems = []
    browser.check_page_holds_writing(written, page, problems)
    body = browser.shown("".join(b.text() for b in page.root.elements("body")))
    for line in script.splitlines():
        if line.startswith("#"):
            continue
        for field in line.split("|")[1:]:
            if re.search(r'[<>&"]', field) and browser.shown(field) not in body:
                problems.append("user text %r does not show as text" % field)
    for link in page.root.elements("a"):
        if link.attrs.get("href") != "mailto:" + link.text():
            problems.append("mail link %r shows %r" % (link.attrs.get("href"), link.text()))

    charts = [t for t in page.root.elements("table")
              if any("rowspan" in td.attrs for td in t.elements("td"))]
    # A plan without courts or rounds prints nothing, and so has no chart.
    if not charts and "<table" in written:
        problems.append("no match chart in the page")
    for table in charts:
        browser.check_bracket(table, problems)
        for td in table.elements("td"):
            lines = sum(1 for c in td.children if isinstance(c, browser.Node) and c.tag == "br")
            if lines != LINES_PER_CELL:
                problems.append("a chart cell of %d lines: %r" % (lines, td.text()))
    if not os.path.exists(shot):
        problems.append("no screenshot")
    elif "<table" in written:
        browser.check_screenshot(shot, problems)
    return name, "%d charts" % len(charts), problems


if __name__ == "__main__":
    browser.run_cases(check_case, __doc__)
