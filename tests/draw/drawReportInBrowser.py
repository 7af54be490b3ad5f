#!/usr/bin/python3
"""Opens every golden HTML draw report in headless Chromium and checks the
bracket as a reader sees it.

usage: drawReportInBrowser.py CHROMIUM CASES_FOLDER OUT_FOLDER

For each reports/<case>/expected.html:
- The DOM that Chromium builds holds exactly the elements and texts the
  writer wrote, in its order, and the report's heading shows as the title.
- Every bracket keeps its cells within the heading columns and the grid's
  rows, lined up with their headings (the report writer's own checks).
- The bracket's rows line up: every match of a later round sits vertically
  between the two matches that feed it (its two name lines between their
  middles, its own middle in the middle half of that range), and the
  champion's line lies between the final's two names. Lines are measured in
  the browser.
- A screenshot, OUT_FOLDER/<case>.png, of the window's size that shows
  something.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "core"))
import htmlReportInBrowser as browser  # noqa: E402

# Each cell's box, and the top and bottom of each of its lines: a line ends
# with a <br>, which the browser places on the line, empty or not.
MEASURE = """<script>
for (const el of document.querySelectorAll('tr, td')) {
  const r = el.getBoundingClientRect();
  el.setAttribute('data-box', [r.left, r.top, r.right, r.bottom].join(' '));
}
for (const td of document.querySelectorAll('td')) {
  const lines = [];
  let text = '';
  for (const node of td.childNodes) {
    if (node.nodeName !== 'BR') {
      text += node.textContent;
      continue;
    }
    const r = node.getBoundingClientRect();
    const filled = text.replace(/[\\s\\u00a0]/g, '').length > 0;
    lines.push(r.top + ':' + r.bottom + ':' + (filled ? 1 : 0));
    text = '';
  }
  td.setAttribute('data-lines', lines.join(' '));
}
</script>
"""
LINES_PER_CELL = 4


def lines_of(td):
    """(top, bottom, whether it holds text) of each line."""
    return [tuple(float(v) for v in item.split(":")) for item in
            td.attrs.get("data-lines", "").split()]


def name_lines(td, span, single):
    """The middles of an entry's name lines: the writer moves an entry's
    lines down to the middle of the rows it spans, and no text of it may lie
    elsewhere. None when some does."""
    lines = lines_of(td)
    first = (span - 1) // 2 * LINES_PER_CELL + (LINES_PER_CELL + 1) // 2 * (span % 2 == 0)
    wanted = [first + 2] if single else [first, first + LINES_PER_CELL - 1]
    own = range(first + 2, first + 3) if single else range(first, first + LINES_PER_CELL)
    if wanted[-1] >= len(lines) or any(line[2] for i, line in enumerate(lines) if i not in own):
        return None
    return [(lines[i][0] + lines[i][1]) / 2 for i in wanted]


def check_rows_line_up(table, problems):
    rows, placed = browser.place_cells(table)
    entries = {}
    for td, r, slot, rowspan, _ in placed:
        if r > 0 and "bgcolor" in td.attrs:
            entries[(r, slot // 2)] = (td, rowspan)
    if not entries:
        problems.append("a bracket without entries")
    columns = max(column for _, column in entries) if entries else 0
    for (r, column), (td, span) in sorted(entries.items()):
        where = "bracket row %d, column %d" % (r, column)
        champion = column == columns and (r, column - 1) in entries and \
            entries[(r, column - 1)][1] == span
        names = name_lines(td, span, champion)
        if names is None:
            problems.append("%s: text outside the entry's lines in the middle of its rows" %
                            where)
            continue
        if column == 0:
            continue
        if champion:
            final = name_lines(entries[(r, column - 1)][0], span, False)
            if final is None:
                continue  # reported with the final
            upper, lower = final
            if not upper < names[0] < lower:
                problems.append("%s: the champion's line at %.1f, outside the final's names "
                                "at %.1f and %.1f" % (where, names[0], upper, lower))
            continue
        feeders = [entries.get((r + i * (span // 2), column - 1)) for i in (0, 1)]
        if None in feeders or any(f[1] != span // 2 for f in feeders):
            problems.append("%s: not fed by two matches of half its span" % where)
            continue
        fed = [name_lines(f[0], f[1], False) for f in feeders]
        if None in fed:
            continue  # reported with the feeder
        upper, lower = [sum(lines) / 2 for lines in fed]
        if not upper <= names[0] < names[1] <= lower:
            problems.append("%s: its names at %.1f and %.1f, outside its feeders' middles "
                            "%.1f and %.1f" % (where, names[0], names[1], upper, lower))
        # The rows' spacing is not in the entry's text, so a tall entry sits a
        # little high; it must still be in the middle half between its feeders.
        if abs(sum(names) / 2 - (upper + lower) / 2) > (lower - upper) / 4:
            problems.append("%s: its middle at %.1f, not near the middle %.1f of its feeders" %
                            (where, sum(names) / 2, (upper + lower) / 2))

def check_case(chromium, folder, out):
    name = os.path.basename(folder)
    written, page, shot = browser.open_case(chromium, folder, out, MEASURE)

    problems = []
    browser.check_page_holds_writing(written, page, problems)
    brackets = [t for t in page.root.elements("table")
                if any("rowspan" in td.attrs for td in t.elements("td"))]
    if not brackets:
        problems.append("no bracket in the page")
    for table in brackets:
        browser.check_bracket(table, problems)
        check_rows_line_up(table, problems)
    if not os.path.exists(shot):
        problems.append("no screenshot")
    else:
        browser.check_screenshot(shot, problems)
    return name, "%d brackets" % len(brackets), problems


if __name__ == "__main__":
    browser.run_cases(check_case, __doc__)
