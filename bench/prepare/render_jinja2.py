"""Renders bench/prepare/list.j2 for every table of a schema given as JSON and
prints one JSON line: pages, seconds (best round), output lines of the first page.

    /usr/bin/python3 render_jinja2.py SCHEMA.json ROUNDS
"""
import json
import os
import sys
import time

import jinja2


def main():
    schema = json.load(open(sys.argv[1]))
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    here = os.path.dirname(os.path.abspath(__file__))
    env = jinja2.Environment(loader=jinja2.FileSystemLoader(here), autoescape=False,
                             keep_trailing_newline=True, newline_sequence="\r\n")
    template = env.get_template("list.j2")
    project = schema["project"]
    best = None
    first = ""
    for _ in range(rounds):
        start = time.perf_counter()
        for table in schema["tables"]:
            page = template.render(project=project, table=table)
            if not first:
                first = page
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    print(json.dumps({"pages": len(schema["tables"]), "seconds": best, "lines": first.count("\n"),
                      "bytes": len(first.encode())}))


if __name__ == "__main__":
    main()
