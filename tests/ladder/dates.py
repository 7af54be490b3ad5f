#!/usr/bin/python3
"""Prints date entries with what a ladder must store for each, one per line:
the expected YYYYMMDD (or FAIL), a tab, the text as typed.

Usage: dates.py SEED COUNT

Calendar validity comes from datetime. Two rules of the ladder are its own
and are applied here on top: two-digit years (0-50 are 2000-2050, 51-99 are
1951-1999, 100-999 are refused) and 29 February in every fourth year,
centuries included."""
import datetime
import random
import sys


def stored(month, day, year):
    if 0 <= year <= 50:
        year += 2000
    elif 51 <= year <= 99:
        year += 1900
    elif not 1000 <= year <= 9999:
        return "FAIL"
    if not 1 <= month <= 12:
        return "FAIL"
    if month == 2 and day == 29:
        return f"{year:04d}0229" if year % 4 == 0 else "FAIL"
    try:
        return datetime.date(year, month, day).strftime("%Y%m%d")
    except (ValueError, OverflowError):
        return "FAIL"


def number_text(rng, value):
    """The number as typed: maybe leading blanks, a sign, leading zeros."""
    digits = str(abs(value))
    if rng.random() < 0.15:
        digits = "0" * rng.randint(1, 3) + digits
    sign = "-" if value < 0 else ("+" if rng.random() < 0.08 else "")
    return rng.choice(["", "", "", "", " ", "  ", "\t"]) + sign + digits


def pick(rng, common, rare):
    return rng.choice(rare) if rng.random() < 0.1 else rng.randint(*common)


def random_numbers(rng):
    month = pick(rng, (1, 12), [0, 13, -1, 99, 10**12])
    day = pick(rng, (1, 31), [0, 32, -3, 10**11])
    year = rng.choice([
        rng.randint(0, 99), rng.randint(0, 99), rng.randint(1000, 9999),
        rng.randint(100, 999), rng.randint(10000, 99999), -rng.randint(1, 60),
        10**13 + 7,
    ])
    return month, day, year


def real_date(rng):
    """A calendar date written by strftime, and the numbers it holds."""
    day = datetime.date.fromordinal(rng.randint(datetime.date(1000, 1, 1).toordinal(),
                                                datetime.date(9999, 12, 31).toordinal()))
    sep = rng.choice("-./")
    form = rng.choice(["%m{0}%d{0}%Y", "%-m{0}%-d{0}%y", "%m{0}%d{0}%y", "%-m{0}%-d{0}%Y"])
    text = day.strftime(form.format(sep))
    year = day.year % 100 if form.endswith("y") else day.year
    return text, stored(day.month, day.day, year)


def case(rng):
    if rng.random() < 0.3:
        return real_date(rng)
    month, day, year = random_numbers(rng)
    parts = [number_text(rng, v) for v in (month, day, year)]
    sep = rng.choice("-./")
    seps = [sep, sep]
    ok = True
    roll = rng.random()
    if roll < 0.1:  # mixed separators
        seps[rng.randint(0, 1)] = rng.choice([s for s in "-./" if s != sep])
        ok = False
    elif roll < 0.15:  # a blank before a separator
        parts[rng.randint(0, 1)] += " "
        ok = False
    elif roll < 0.2:  # no year
        return parts[0] + sep + parts[1] + rng.choice(["", sep]), "FAIL"
    text = parts[0] + seps[0] + parts[1] + seps[1] + parts[2]
    if rng.random() < 0.2:  # anything after the year is ignored
        text += rng.choice([" 10:30", "x", " and more", ".", "/", "-5", " 7"])
    return text, stored(month, day, year) if ok else "FAIL"


def main():
    rng = random.Random(int(sys.argv[1]))
    for _ in range(int(sys.argv[2])):
        text, expected = case(rng)
        print(f"{expected}\t{text}")
    for text in ["", "abc", "7/4", "/7/4/2007"]:
        print(f"FAIL\t{text}")


main()
