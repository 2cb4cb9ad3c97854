#!/usr/bin/env python3
"""Compares the value column of a talloway-cli --dump (standard input) with
the CSV of expected values that gen_wk1.py --expect writes. Numbers agree
when they are equal as numbers; an empty expected cell must be absent or
empty. Prints "ok" or how many cells differ (exit status 1)."""
import csv
import re
import sys


def column_number(letters):
    n = 0
    for ch in letters:
        n = n * 26 + ord(ch) - 64
    return n - 1


def main():
    cells = {}
    for line in sys.stdin:
        parts = line.rstrip("\n").split("\t")
        m = re.match(r"([A-Z]+)(\d+)$", parts[0])
        if not m or len(parts) < 4:
            print("malformed line: %r" % line)
            return 1
        cells[(int(m.group(2)) - 1, column_number(m.group(1)))] = parts[3]
    bad = 0
    with open(sys.argv[1], newline="") as f:
        for r, row in enumerate(csv.reader(f)):
            for c, want in enumerate(row):
                got = cells.get((r, c), "")
                if want == got:
                    continue
                try:
                    if want and got and float(want) == float(got):
                        continue
                except ValueError:
                    pass
                bad += 1
                if bad <= 5:
                    print("cell row %d col %d: expected %r, dump has %r" % (r + 1, c + 1, want, got))
    print("ok" if bad == 0 else "%d differ" % bad)
    return 0 if bad == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
