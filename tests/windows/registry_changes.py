#!/usr/bin/env python3
"""Prints what differs between two copies of a Wine prefix's system.reg
(HKEY_LOCAL_MACHINE), one line per key or value: "+" or "-", the key as the
file spells it, a TAB, and the value line ("" for the key itself).
Only keys under PREFIX, and none under the SKIP prefixes.

Usage: registry_changes.py BEFORE AFTER PREFIX [SKIP...]
"""
import re
import sys


def entries(path, prefix, skip):
    found = set()
    key = None
    with open(path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            line = line.rstrip("\n")
            header = re.match(r"^\[(.*)\] \d+$", line)
            if header:
                key = header.group(1)
                if not key.startswith(prefix) or key.startswith(tuple(skip)):
                    key = None
                else:
                    found.add((key, ""))
            elif key is not None and line and not line.startswith(("#", ";")):
                found.add((key, line))
    return found


def main():
    before_path, after_path, prefix, *skip = sys.argv[1:]
    before = entries(before_path, prefix, skip)
    after = entries(after_path, prefix, skip)
    changes = [("+", entry) for entry in after - before] + [("-", entry) for entry in before - after]
    for sign, (key, value) in sorted(changes, key=lambda change: (change[1], change[0])):
        print(f"{sign} {key}\t{value}")


if __name__ == "__main__":
    main()
