"""Writes the pages of the default template's kind (a metadata file and seven thin
pages per table) with Jinja2 from a schema given as JSON, into a fresh folder,
and prints one JSON line: pages, bytes, seconds (best round).

    /usr/bin/python3 render_jinja2.py SCHEMA.json OUTDIR ROUNDS
"""
import json
import os
import sys
import time

import jinja2

PAGES = [("list", "list_page"), ("view", "view_page"), ("add", "add_page"), ("edit", "edit_page"),
         ("copy", "copy_page"), ("delete", "delete_page"), ("blob", "blob_page")]


def php(text):
    return "'" + str(text).replace("\\", "\\\\").replace("'", "\\'") + "'"


def main():
    schema = json.load(open(sys.argv[1]))
    out_root, rounds = sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 3
    here = os.path.dirname(os.path.abspath(__file__))
    env = jinja2.Environment(loader=jinja2.FileSystemLoader(here), autoescape=False,
                             keep_trailing_newline=True, trim_blocks=True)
    env.filters["php"] = php
    env.filters["bool"] = lambda b: "true" if b else "false"
    info, page = env.get_template("info.j2"), env.get_template("page.j2")
    best, pages, size = None, 0, 0
    for r in range(rounds):
        out = os.path.join(out_root, str(r))
        os.makedirs(out)
        start = time.perf_counter()
        pages = size = 0
        for table in schema["tables"]:
            files = [(table["file"] + "_info.php", info.render(project=schema["project"], table=table))]
            for kind, function in PAGES:
                if kind != "blob" or table["has_blob"]:
                    files.append((table["file"] + "_" + kind + ".php", page.render(function=function, table=table)))
            for name, text in files:
                data = text.replace("\n", "\r\n").encode()
                with open(os.path.join(out, name), "wb") as f:
                    f.write(data)
                pages += 1
                size += len(data)
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    print(json.dumps({"pages": pages, "bytes": size, "seconds": best}))


if __name__ == "__main__":
    main()
