#!/usr/bin/env python3
"""Crawls every page of an application: follows each link from the menu on,
and every form's GET action, a few times per page and parameter set (so that
paging and sorting links do not multiply without end). Every answer must be
below 500; the run script checks the server's log for PHP diagnostics after.

usage: crawl.py URL [LOGIN PASSWORD]; prints the count of requests and of failures.
"""
import collections
import html
import re
import sys
import urllib.parse

from http_client import Client

PER_SHAPE = 4          # requests per page and set of parameter names
LIMIT = 3000           # requests per crawl at most
SKIP = ("logout.php",)


def links(page):
    for m in re.finditer(r'(?:href|action)="([^"#]*)"', page):
        target = html.unescape(m.group(1))
        if target and not re.match(r"^[a-z]+:", target) and not target.startswith(("/", "zt/", "data:")):
            yield target


def shape(target):
    path, _, query = target.partition("?")
    names = sorted({re.sub(r"\[.*", "", k) + ("=" + v if k in ("export", "fld", "sort") else "")
                    for k, v in urllib.parse.parse_qsl(query, keep_blank_values=True)})
    return path, tuple(names)


def crawl(base, login=None, password=None):
    c = Client(base)
    if login:
        r = c.login(login, password)
        if r.status != 303:
            raise SystemExit(f"crawl: the login failed ({r.status})")
    seen, shapes = set(), collections.Counter()
    queue = collections.deque(["index.php"])
    failures, requests = [], 0
    while queue and requests < LIMIT:
        target = queue.popleft()
        if target in seen or target.split("?")[0].endswith(SKIP) or not target.split("?")[0].endswith(".php"):
            continue
        seen.add(target)
        if shapes[shape(target)] >= PER_SHAPE:
            continue
        shapes[shape(target)] += 1
        r = c.get(target)
        requests += 1
        if r.status >= 500:
            failures.append(f"{r.status} {target}")
        if r.status == 200 and r.headers.get("Content-Type", "").startswith("text/html"):
            queue.extend(t for t in links(r.text) if t not in seen)
    pages = len({s[0] for s in shapes})
    print(f"crawl: {requests} requests over {pages} pages, {len(failures)} answered 5xx")
    for f in failures[:20]:
        print("crawl: FAILED:", f)
    return failures


if __name__ == "__main__":
    args = sys.argv[1:]
    sys.exit(1 if crawl(*args) else 0)
