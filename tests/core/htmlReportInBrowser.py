#!/usr/bin/python3
"""Opens every golden HTML report in headless Chromium and checks what a
reader of the published page gets.

usage: htmlReportInBrowser.py CHROMIUM CASES_FOLDER OUT_FOLDER

For each reports/<case>/expected.html:
- The DOM that Chromium builds holds exactly the elements and texts the
  writer wrote, in the writer's order: no row or cell dropped, no rule or
  text moved out of its table, no user text turned into an element.
- Every user text of the case's script that carries markup characters shows
  as text, the title shows as text, and every mail link leads to the address
  it shows.
- In a bracket (a table with row spans) every cell stays within the heading
  columns and the grid's rows; entries and connectors keep their columns;
  cells line up with the heading above them and a spanning cell is exactly
  as tall as the rows it joins (measured on a copy of the page that writes
  each cell's box into the DOM).
- A screenshot of the page, OUT_FOLDER/<case>.png, is a PNG of the window's
  size that shows something.
"""

import html.parser
import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib

WINDOW = (1000, 800)
# The golden test titles every page so.
TITLE = 'Club <Spring> & "Open"'
WRITER_ELEMENTS = {"html", "head", "meta", "title", "body", "table", "tbody", "tr", "td", "br",
                   "hr", "a"}
MEASURE = """<script>
for (const el of document.querySelectorAll('tr, td')) {
  const r = el.getBoundingClientRect();
  el.setAttribute('data-box', [r.left, r.top, r.right, r.bottom].join(' '));
}
</script>
"""
VOID = {"br", "hr", "meta"}
TOLERANCE = 0.5  # pixels
# A browser started beside a whole test suite on a busy machine may take its time.
CHROMIUM_SECONDS = 90


def run_chromium(chromium, args):
    with tempfile.TemporaryDirectory() as profile:
        command = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                   "--disable-background-networking", "--disable-component-update",
                   "--disable-sync", "--user-data-dir=" + profile] + args
        done = subprocess.run(command, capture_output=True, timeout=CHROMIUM_SECONDS,
                              check=False)
    if done.returncode != 0:
        raise RuntimeError("chromium failed: " + done.stderr.decode(errors="replace")[-2000:])
    return done.stdout.decode("utf-8")


class Node:
    def __init__(self, tag, attrs, parent):
        self.tag, self.attrs, self.parent, self.children = tag, attrs, parent, []

    def elements(self, tag=None):
        for child in self.children:
            if isinstance(child, Node):
                if tag is None or child.tag == tag:
                    yield child
                yield from child.elements(tag)

    def text(self):
        return "".join(c if isinstance(c, str) else c.text() for c in self.children)

    def box(self):
        return [float(v) for v in self.attrs["data-box"].split()]


class Page(html.parser.HTMLParser):
    """A page as a tree and as the writer's sequence of tags and texts. The
    tbody that a browser adds and the measuring script are left out of the
    sequence."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.root = Node("#document", {}, None)
        self.node = self.root
        self.tokens = []
        self.in_script = False
        self.feed(text)
        self.close()

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        node = Node(tag, attrs, self.node)
        self.node.children.append(node)
        if tag not in VOID:
            self.node = node
        if tag == "script":
            self.in_script = True
        elif tag != "tbody":
            kept = sorted((k, v) for k, v in attrs.items() if not k.startswith("data-"))
            self.tokens.append(("<" + tag, tuple(kept)))

    def handle_endtag(self, tag):
        if tag == "script":
            self.in_script = False
        elif tag not in ("tbody",) + tuple(VOID):
            self.tokens.append(("</" + tag,))
        node = self.node
        while node is not self.root and node.tag != tag:
            node = node.parent
        if node is not self.root:
            self.node = node.parent

    def handle_data(self, data):
        self.node.children.append(data)
        if self.in_script:
            return
        text = re.sub(r"[ \t\r\n\f]+", " ", data).strip(" ")
        if not text:
            return
        if self.tokens and self.tokens[-1][0] == "text":
            self.tokens[-1] = ("text", self.tokens[-1][1] + " " + text)
        else:
            self.tokens.append(("text", text))


def shown(text):
    return re.sub(r"\s+", " ", text.replace("\xa0", " ")).strip()


def check_sequence(written, built, problems):
    if written == built:
        return
    i = next((i for i, (a, b) in enumerate(zip(written, built)) if a != b),
             min(len(written), len(built)))
    problems.append("the browser's page differs from the written one at token %d:\n"
                    "  written: %s\n  built:   %s" % (i, written[max(i - 2, 0):i + 3],
                                                     built[max(i - 2, 0):i + 3]))


def check_texts(page, script, problems):
    for element in page.root.elements():
        if element.tag not in WRITER_ELEMENTS and element.tag != "script":
            problems.append("stray element <%s> in the page" % element.tag)
    titles = list(page.root.elements("title"))
    if len(titles) != 1 or titles[0].text() != TITLE:
        problems.append("title shows %r" % [t.text() for t in titles])
    body = shown("".join(b.text() for b in page.root.elements("body")))
    for line in script.splitlines():
        if line.startswith("#"):
            continue
        for field in line.split("|")[1:]:
            if re.search(r'[<>&"]', field) and shown(field) not in body:
                problems.append("user text %r does not show as text" % field)
    for link in page.root.elements("a"):
        if link.attrs.get("href") != "mailto:" + link.text():
            problems.append("mail link %r shows %r" % (link.attrs.get("href"), link.text()))


def place_cells(table):
    """Each cell with its grid row, first slot, row span and column span, the
    way a browser lays out a table."""
    rows = [tr for tr in table.elements("tr")]
    taken, placed = set(), []
    for r, tr in enumerate(rows):
        slot = 0
        for td in (c for c in tr.children if isinstance(c, Node) and c.tag == "td"):
            while (r, slot) in taken:
                slot += 1
            rowspan, colspan = int(td.attrs.get("rowspan", 1)), int(td.attrs.get("colspan", 1))
            taken.update((r + i, slot + j) for i in range(rowspan) for j in range(colspan))
            placed.append((td, r, slot, rowspan, colspan))
            slot += colspan
    return rows, placed


def near(a, b):
    return abs(a - b) <= TOLERANCE


def check_bracket(table, problems):
    rows, placed = place_cells(table)
    headings = [p for p in placed if p[1] == 0]
    width = sum(p[4] for p in headings)
    connectors = all(p[4] == 2 for p in headings)
    entries, columns = {}, {}
    for td, r, slot, rowspan, colspan in placed:
        where = "bracket row %d, column %d" % (r, slot)
        if slot + colspan > width:
            problems.append("%s: pushed past the %d heading columns" % (where, width))
        if r + rowspan > len(rows):
            problems.append("%s: spans %d rows past the grid's %d" % (where, rowspan, len(rows)))
        if r > 0 and connectors:
            entry = "bgcolor" in td.attrs
            if entry != (slot % 2 == 0):
                problems.append("%s: %s in the wrong column" %
                                (where, "entry" if entry else "connector"))
            if entry:
                entries[(r, slot)] = rowspan
            elif entries.get((r, slot - 1)) != rowspan:
                problems.append("%s: connector does not span its entry's rows" % where)
        # Layout: a column's cells share its edges and meet the heading's, and
        # a span is as tall as the rows it joins.
        if r == 0 or r + rowspan > len(rows):
            continue
        left, top, right, bottom = td.box()
        for h, _, first, _, span in headings:
            h_left, _, h_right, _ = h.box()
            if first == slot and not near(left, h_left):
                problems.append("%s: left edge %.1f, its heading's %.1f" % (where, left, h_left))
            if first + span == slot + colspan and not near(right, h_right):
                problems.append("%s: right edge %.1f, its heading's %.1f" %
                                (where, right, h_right))
        edges = columns.setdefault((slot, colspan), (left, right))
        if not near(edges[0], left) or not near(edges[1], right):
            problems.append("%s: from x %.1f to %.1f, the column's cells from %.1f to %.1f" %
                            ((where, left, right) + edges))
        row_top, row_bottom = rows[r].box()[1], rows[r + rowspan - 1].box()[3]
        if not near(top, row_top) or not near(bottom, row_bottom):
            problems.append("%s: from %.1f to %.1f, its rows from %.1f to %.1f" %
                            (where, top, bottom, row_top, row_bottom))


def check_screenshot(path, problems):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        problems.append("screenshot is not a PNG")
        return
    pos, size, pixels = 8, None, b""
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            size = struct.unpack(">II", body[:8])
        elif kind == b"IDAT":
            pixels += body
        pos += 12 + length
    if size != WINDOW:
        problems.append("screenshot is %s, the window %s" % (size, WINDOW))
    # A blank page filters down to a handful of byte values; text gives many.
    if len(set(zlib.decompress(pixels))) < 16:
        problems.append("screenshot shows an empty page")


def open_case(chromium, folder, out, measure=MEASURE):
    """Opens a case's expected.html: a copy that writes each row's and cell's
    box into the DOM, dumped, and the page itself as a screenshot. Returns the
    written text, the built page and the screenshot's path."""
    name = os.path.basename(folder)
    with open(os.path.join(folder, "expected.html"), encoding="utf-8") as f:
        written = f.read()
    measured = os.path.join(out, name + "-measured.html")
    end = written.rfind("</body>")
    with open(measured, "w", encoding="utf-8") as f:
        f.write(written[:end] + measure + written[end:])
    page = Page(run_chromium(chromium, ["--dump-dom", "file://" + measured]))
    shot = os.path.join(out, name + ".png")
    if os.path.exists(shot):
        os.remove(shot)
    run_chromium(chromium, ["--window-size=%d,%d" % WINDOW, "--screenshot=" + shot,
                            "file://" + os.path.join(folder, "expected.html")])
    return written, page, shot


def check_page_holds_writing(written, page, problems):
    """The built page holds the written elements in order, none other, and
    one title, the written one."""
    written_page = Page(written)
    check_sequence(written_page.tokens, page.tokens, problems)
    for element in page.root.elements():
        if element.tag not in WRITER_ELEMENTS and element.tag != "script":
            problems.append("stray element <%s> in the page" % element.tag)
    titles = [t.text() for t in page.root.elements("title")]
    wanted = [t.text() for t in written_page.root.elements("title")]
    if titles != wanted or len(titles) != 1:
        problems.append("title shows %r" % titles)


def check_case(chromium, folder, out):
    name = os.path.basename(folder)
    with open(os.path.join(folder, "script"), encoding="utf-8") as f:
        script = f.read()
    written, page, shot = open_case(chromium, folder, out)

    problems = []
    check_sequence(Page(written).tokens, page.tokens, problems)
    check_texts(page, script, problems)
    tables = list(page.root.elements("table"))
    for table in tables:
        if any("rowspan" in td.attrs for td in table.elements("td")):
            check_bracket(table, problems)
    if not os.path.exists(shot):
        problems.append("no screenshot")
    else:
        check_screenshot(shot, problems)
    summary = "%d tables, %d rows, %d cells" % (len(tables), len(list(page.root.elements("tr"))),
                                               len(list(page.root.elements("td"))))
    return name, summary, problems


def run_cases(check_case, usage):
    """Checks every case folder holding an expected.html; exits 1 when any fails."""
    if len(sys.argv) != 4:
        sys.exit(usage)
    chromium, cases, out = sys.argv[1], os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
    os.makedirs(out, exist_ok=True)
    folders = sorted(os.path.join(cases, d) for d in os.listdir(cases)
                     if os.path.exists(os.path.join(cases, d, "expected.html")))
    failed = 0
    for folder in folders:
        name, summary, problems = check_case(chromium, folder, out)
        print("%s: %s: %s" % ("FAIL" if problems else "ok", name, summary))
        for problem in problems:
            print("  " + problem)
        failed += bool(problems)
    print("%d passed, %d failed" % (len(folders) - failed, failed))
    sys.exit(1 if failed or not folders else 0)


if __name__ == "__main__":
    run_cases(check_case, __doc__)
