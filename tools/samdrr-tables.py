#!/usr/bin/python3
"""The mixed doubles round robin's tables: finds them and checks them.

For h couples the schedule needs a men's table (a round robin of the h men,
one pair of men per court; with an odd h one man rests each round) and an
h x h partner table P (man i partners woman P[i][j] when he meets man j).
Every table must keep:
  - P[i][i] = i, every row a permutation of 1..h, for h >= 4 every column too;
  - no spouses in a box: P[i][j] differs from j (h >= 3);
  - every woman at most once in a round: the women P[a][b] and P[b][a] of
    the matches (a, b) of one round are all different.

  samdrr-tables.py --emit          find the tables, check them, print C++ data
  samdrr-tables.py --check FILE    read the tables from the C++ source FILE and
                                   check them, independently of how they were found

Partner tables of 8 and 9 couples come from the fields of 8 and 9 elements
(P = lambda x + (1 - lambda) y, the men's rounds from the field as well); 12
couples need a search: the men's table is the circle method, the partner
table is found by the SAT solver cadical.
"""

import itertools
import os
import re
import subprocess
import sys
import tempfile

SIZES = (2, 4, 5, 7, 8, 9, 11, 12)
BY_RULE = (2, 5, 7, 11)

# The men's table and partner rows of 4 couples that schedules have always used.
MEN4 = [[(2, 1), (4, 3)], [(1, 3), (2, 4)], [(1, 4), (2, 3)]]
P4 = [[1, 3, 4, 2], [4, 2, 1, 3], [2, 4, 3, 1], [3, 1, 2, 4]]


def rule_partners(h):
    return [[((2 * i - j - 1) % h) + 1 for j in range(1, h + 1)] for i in range(1, h + 1)]


# --- finding -----------------------------------------------------------------

def men_odd_prime(h):
    # Round r rests man r; the others meet in pairs whose sum is twice his.
    rounds = []
    for r in range(1, h + 1):
        k = r - 1
        rounds.append([((k + t) % h + 1, (k - t) % h + 1) for t in range(1, (h - 1) // 2 + 1)])
    return rounds


def circle(c):
    # The circle method of the generators: number 1 stays, the others turn.
    def turn(y, r):
        return y if y == 1 else ((y - 2 - (r - 1)) % (c - 1)) + 2
    base = [(1, 2)] + [(c - k + 2, k + 1) for k in range(2, c // 2 + 1)]
    return [[(turn(a, r), turn(b, r)) for a, b in base] for r in range(1, c)]


def gf8_mul(a, b):
    product = 0
    for bit in range(3):
        if b >> bit & 1:
            product ^= a << bit
    for bit in (4, 3):
        if product >> bit & 1:
            product ^= 0b1011 << (bit - 3)
    return product


def gf8_tables():
    lam = 2
    one_minus = 1 ^ lam
    men = [[(x + 1, (x ^ d) + 1) for x in range(8) if x < x ^ d] for d in range(1, 8)]
    partners = [[(gf8_mul(lam, x) ^ gf8_mul(one_minus, y)) + 1 for y in range(8)]
                for x in range(8)]
    return men, partners


def gf9(label):
    return (label % 3, label // 3)


def gf9_label(e):
    return e[0] % 3 + 3 * (e[1] % 3)


def gf9_add(a, b):
    return ((a[0] + b[0]) % 3, (a[1] + b[1]) % 3)


def gf9_mul(a, b):
    # i * i = -1
    return ((a[0] * b[0] - a[1] * b[1]) % 3, (a[0] * b[1] + a[1] * b[0]) % 3)


def gf9_tables():
    lam = (0, 1)
    one_minus = ((1 - lam[0]) % 3, (-lam[1]) % 3)
    men = []
    for k in range(9):
        twice = gf9_mul((2, 0), gf9(k))
        pairs = []
        for x in range(9):
            y = gf9_label(gf9_add(twice, gf9_mul((2, 0), gf9(x))))  # 2k - x = 2k + 2x
            if x < y:
                pairs.append((x + 1, y + 1))
        men.append(pairs)
    partners = [[gf9_label(gf9_add(gf9_mul(lam, gf9(x)), gf9_mul(one_minus, gf9(y)))) + 1
                 for y in range(9)] for x in range(9)]
    return men, partners


def sat_partners(h, men):
    cells = [(i, j) for i in range(1, h + 1) for j in range(1, h + 1) if i != j]
    var = {}
    for i, j in cells:
        for w in range(1, h + 1):
            if w not in (i, j):
                var[i, j, w] = len(var) + 1
    clauses = []

    def exactly_one(lits):
        clauses.append(list(lits))
        clauses.extend([-a, -b] for a, b in itertools.combinations(lits, 2))

    for i, j in cells:
        exactly_one([var[i, j, w] for w in range(1, h + 1) if (i, j, w) in var])
    for i in range(1, h + 1):
        for w in range(1, h + 1):
            if w == i:
                continue
            exactly_one([var[i, j, w] for j in range(1, h + 1) if (i, j, w) in var])
            exactly_one([var[j, i, w] for j in range(1, h + 1) if (j, i, w) in var])
    for pairs in men:
        for w in range(1, h + 1):
            lits = [var[c + (w,)] for a, b in pairs for c in ((a, b), (b, a)) if c + (w,) in var]
            clauses.extend([-a, -b] for a, b in itertools.combinations(lits, 2))
    with tempfile.TemporaryDirectory() as folder:
        cnf = os.path.join(folder, "partners.cnf")
        with open(cnf, "w") as out:
            out.write("p cnf %d %d\n" % (len(var), len(clauses)))
            for clause in clauses:
                out.write(" ".join(map(str, clause)) + " 0\n")
        run = subprocess.run(["cadical", "-q", cnf], capture_output=True, text=True)
    if run.returncode != 10:
        sys.exit("cadical found no partner table for %d couples (exit %d)" % (h, run.returncode))
    true = {int(v) for line in run.stdout.splitlines() if line.startswith("v")
            for v in line[1:].split() if int(v) > 0}
    partners = [[i if i == j else 0 for j in range(1, h + 1)] for i in range(1, h + 1)]
    for (i, j, w), v in var.items():
        if v in true:
            partners[i - 1][j - 1] = w
    return partners


def find(h):
    if h == 2:
        return [[(1, 2)]], rule_partners(2)
    if h == 4:
        return MEN4, P4
    if h in BY_RULE:
        return men_odd_prime(h), rule_partners(h)
    if h == 8:
        return gf8_tables()
    if h == 9:
        return gf9_tables()
    if h == 12:
        men = circle(12)
        return men, sat_partners(12, men)
    raise ValueError(h)


# --- checking ----------------------------------------------------------------

def check(h, men, partners):
    """Every fault found, as texts; none for a sound pair of tables."""
    faults = []
    expected_rounds = h - 1 if h % 2 == 0 else h
    if len(men) != expected_rounds:
        faults.append("%d rounds, not %d" % (len(men), expected_rounds))
    met = {}
    rests = {m: 0 for m in range(1, h + 1)}
    for r, pairs in enumerate(men, 1):
        if len(pairs) != h // 2:
            faults.append("round %d has %d pairs" % (r, len(pairs)))
        seen = [m for pair in pairs for m in pair]
        if len(set(seen)) != len(seen) or not all(1 <= m <= h for m in seen):
            faults.append("round %d repeats a man or names none" % r)
        for m in set(range(1, h + 1)) - set(seen):
            rests[m] += 1
        for a, b in pairs:
            key = frozenset((a, b))
            met[key] = met.get(key, 0) + 1
    for a, b in itertools.combinations(range(1, h + 1), 2):
        if met.get(frozenset((a, b)), 0) != 1:
            faults.append("men %d and %d meet %d times" % (a, b, met.get(frozenset((a, b)), 0)))
    if h % 2 == 1 and any(count != 1 for count in rests.values()):
        faults.append("not every man rests once")
    if len(partners) != h or any(len(row) != h for row in partners):
        return faults + ["the partner table is not %d x %d" % (h, h)]
    everyone = list(range(1, h + 1))
    for i in range(h):
        if partners[i][i] != i + 1:
            faults.append("P[%d][%d] is not %d" % (i + 1, i + 1, i + 1))
        if sorted(partners[i]) != everyone:
            faults.append("row %d is no permutation" % (i + 1))
        if h >= 4 and sorted(row[i] for row in partners) != everyone:
            faults.append("column %d is no permutation" % (i + 1))
        for j in range(h):
            if h >= 3 and i != j and partners[i][j] == j + 1:
                faults.append("man %d partners the wife of man %d, whom he meets" % (i + 1, j + 1))
    for r, pairs in enumerate(men, 1):
        women = [partners[a - 1][b - 1] for a, b in pairs] + [partners[b - 1][a - 1]
                                                               for a, b in pairs]
        if len(set(women)) != len(women):
            faults.append("round %d holds a woman twice" % r)
    return faults


def read_source(path):
    """The men's and partner tables of a C++ source, by couple count."""
    text = open(path).read()

    def numbers(name):
        found = re.search(r"\b%s\[\]\s*=\s*\{([^}]*)\}" % name, text)
        return None if found is None else [int(v) for v in re.findall(r"\d+", found.group(1))]

    tables = {}
    for h in SIZES:
        flat = numbers("SamdrrMen%d" % h)
        if flat is None:
            sys.exit("no men's table for %d couples in %s" % (h, path))
        per_round = 2 * (h // 2)
        men = [[(flat[k], flat[k + 1]) for k in range(start, start + per_round, 2)]
               for start in range(0, len(flat), per_round)]
        if h in BY_RULE:
            partners = rule_partners(h)
        else:
            flat = numbers("SamdrrPartners%d" % h)
            if flat is None:
                sys.exit("no partner table for %d couples in %s" % (h, path))
            partners = [flat[k:k + h] for k in range(0, len(flat), h)]
        tables[h] = (men, partners)
    return tables


def emit(tables):
    lines = []
    for h in SIZES:
        men, partners = tables[h]
        lines.append("constexpr std::uint8_t SamdrrMen%d[] = {" % h)
        for pairs in men:
            lines.append("    " + ", ".join("%d, %d" % pair for pair in pairs) + ",")
        lines.append("};")
    for h in SIZES:
        if h in BY_RULE:
            continue
        lines.append("constexpr std::uint8_t SamdrrPartners%d[] = {" % h)
        for row in tables[h][1]:
            lines.append("    " + ", ".join(map(str, row)) + ",")
        lines.append("};")
    return "\n".join(lines)


def report(tables):
    bad = False
    for h in SIZES:
        for fault in check(h, *tables[h]):
            print("%d couples: %s" % (h, fault), file=sys.stderr)
            bad = True
    return 1 if bad else 0


def self_test():
    # The checker must see a spouse in a box, a woman twice in a round and a
    # pair of men that never meets.
    men, partners = find(5)
    assert not check(5, men, partners)
    spoiled = [row[:] for row in partners]
    spoiled[0][1], spoiled[0][2] = spoiled[0][2], spoiled[0][1]
    assert check(5, men, spoiled)
    assert check(5, men[:-1], partners)
    assert check(5, men, [row[::-1] for row in partners])
    return 0


def main(argv):
    if argv[1:] == ["--emit"]:
        tables = {h: find(h) for h in SIZES}
        code = report(tables)
        print(emit(tables))
        return code
    if len(argv) == 3 and argv[1] == "--check":
        return report(read_source(argv[2]))
    if argv[1:] == ["--self-test"]:
        return self_test()
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
