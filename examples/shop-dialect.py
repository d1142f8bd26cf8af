#!/usr/bin/env python3
"""Rewrites the demo schema (SQLite dialect) for MariaDB or PostgreSQL.

usage: shop-dialect.py mariadb|postgres [shop.sql] > out.sql

The SQLite source keeps to a small common subset, so only a few things
differ: auto-increment keys, the blob and date-time types, blob literals, and
PostgreSQL's sequences, which explicit ids do not advance.
"""
import re
import sys

AUTO_KEY = re.compile(r"^\s*(\w+) INTEGER PRIMARY KEY,?$")
TABLE = re.compile(r"^CREATE TABLE (\w+)")

RULES = {
    "mariadb": [
        (re.compile(r"INTEGER PRIMARY KEY"), "INT AUTO_INCREMENT PRIMARY KEY"),
        (re.compile(r"\bBLOB\b"), "LONGBLOB"),
    ],
    "postgres": [
        (re.compile(r"INTEGER PRIMARY KEY"), "SERIAL PRIMARY KEY"),
        (re.compile(r"\bBLOB\b"), "BYTEA"),
        (re.compile(r"\bDATETIME\b"), "TIMESTAMP"),
        (re.compile(r"X'([0-9A-F]*)'"), lambda m: "'\\x" + m.group(1).lower() + "'::bytea"),
    ],
}


def convert(dialect, text):
    out = []
    table = None
    serials = []
    for line in text.splitlines():
        m = TABLE.match(line)
        if m:
            table = m.group(1)
        m = AUTO_KEY.match(line)
        if m and table:
            serials.append((table, m.group(1)))
        for pattern, replacement in RULES[dialect]:
            line = pattern.sub(replacement, line)
        out.append(line)
    if dialect == "postgres":
        for table, column in serials:
            out.append(f"SELECT setval(pg_get_serial_sequence('{table}', '{column}'), "
                       f"(SELECT MAX({column}) FROM {table}));")
    return "\n".join(out) + "\n"


def main(argv):
    if len(argv) not in (2, 3) or argv[1] not in RULES:
        sys.stderr.write("usage: shop-dialect.py mariadb|postgres [shop.sql]\n")
        return 2
    path = argv[2] if len(argv) == 3 else __file__.rsplit("/", 1)[0] + "/shop.sql"
    with open(path, encoding="utf-8") as f:
        sys.stdout.write(convert(argv[1], f.read()))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
