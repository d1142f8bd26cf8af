"""Writes the default template's pages (a metadata file and thin pages per table)
with Jinja2, from the project's raw settings given as JSON, into a fresh folder,
and prints one JSON line: pages, bytes, seconds (best round).

    /usr/bin/python3 render_jinja2.py SCHEMA.json OUTDIR ROUNDS

The derivations the default template's system script makes (value category,
control, validation, lengths, defaults, formats) are made here in Python, the
way a Jinja2 user would write them, so that both sides do the same work from
the same settings; the benchmark checks that the pages come out byte for byte
the same. Tables and views are covered; the demo's reports and custom views
are not part of the benchmark's schema.
"""
import json
import os
import sys
import time

import jinja2

# Page kinds in the control file's order, with the table setting that allows each.
PAGES = [("list", "list_page", None), ("search", "search_page", "search"), ("view", "view_page", "TblView"),
         ("add", "add_page", "TblAdd"), ("edit", "edit_page", "TblEdit"), ("copy", "copy_page", "TblCopy"),
         ("delete", "delete_page", "TblDelete"), ("blob", "blob_page", "TblBlob")]

CATEGORIES = {}
for names, category in [((200, 202, 129, 130), "string"), ((3, 2, 20, 16, 17, 18, 19, 21), "int"),
                        ((201, 203), "memo"), ((131, 5, 4, 6, 14, 139), "number"), ((133,), "date"),
                        ((135, 7, 146), "datetime"), ((11,), "bool"), ((134, 145), "time"), ((205, 204, 128), "blob")]:
    for n in names:
        CATEGORIES[n] = category

OPERATORS = {"=": "=", "<>": "<>", "<": "<", "<=": "<=", ">": ">", ">=": ">=", "LIKE": "LIKE", "BETWEEN": "BETWEEN",
             "START WITH": "STARTS", "STARTS WITH": "STARTS", "ENDS WITH": "ENDS", "USER SELECT": "USER"}
VALIDATIONS = {"INTEGER": ("int",), "FLOAT": ("int", "number"), "DATE": ("date",), "USDATE": ("date",),
               "EURODATE": ("date",), "TIME": ("time",)}
DATE_FORMATS = {5: "Y/m/d", 6: "m/d/Y", 7: "d/m/Y"}


def php(text):
    return "'" + str(text if text is not None else "").replace("\\", "\\\\").replace("'", "\\'") + "'"


def php_bool(b):
    return "true" if b else "false"


def number(text):
    try:
        value = float(text)
    except (TypeError, ValueError):
        return None
    return str(int(value)) if value.is_integer() and abs(value) < 1e15 else repr(value)


def tag_values(text):
    out = []
    for line in (text or "").replace("\r\n", "|").split("|"):
        line = line.strip(" ")
        cut = line.find('","')
        if cut > 0:
            out.append(php(line[1:cut]) + " => " + php(line[cut + 3:len(line) - 1]))
    return "[" + ", ".join(out) + "]"


def control_of(f, category):
    ctl, choices = (f["FldHtmlTag"] or "").strip(" ").upper(), ""
    if ctl in ("SELECT", "RADIO", "CHECKBOX"):
        if f["FldTagLnkTbl"] and f["FldTagLnkFld"]:
            display = f["FldTagLnkDisplay"] or f["FldTagLnkFld"]
            choices = (", 'lookup' => ['table' => " + php(f["FldTagLnkTbl"]) + ", 'value' => " +
                       php(f["FldTagLnkFld"]) + ", 'display' => " + php(display) + "]")
            ctl = "SELECT" if ctl == "CHECKBOX" else ctl
        elif f["FldTagValues"]:
            choices = ", 'values' => " + tag_values(f["FldTagValues"])
            ctl = "RADIO" if ctl == "CHECKBOX" and category != "bool" else ctl
        else:
            ctl = "CHECKBOX" if category == "bool" else "TEXT"
    return ctl, choices


def default_of(f, category):
    v = "" if f["FldDefault"] is None else str(f["FldDefault"])
    if len(v) > 1 and v[0] == "'" and v[-1] == "'":
        v = v[1:-1]
    if category == "bool" and v.upper() in ("TRUE", "FALSE"):
        v = "1" if v.upper() == "TRUE" else "0"
    if v and "(" not in v and v.upper() != "NULL" and not v[:8].upper().startswith("CURRENT_"):
        return ", 'default' => " + php(v)
    return ""


def format_of(f, category, validate):
    kind, fmt = (f["FldFmtType"] or "").upper(), ""
    if kind in ("CURRENCY", "NUMBER", "PERCENT"):
        fmt = "['kind' => '" + kind.lower() + "', 'digits' => " + str(int(f["FldNumDigits"] or 0)) + "]"
    elif kind == "DATE/TIME" and f["FldDtFormat"] in DATE_FORMATS:
        fmt = "['kind' => 'date', 'date' => '" + DATE_FORMATS[f["FldDtFormat"]] + "']"
    if category in ("date", "datetime") and validate in ("USDATE", "EURODATE"):
        fmt = "['kind' => 'date', 'date' => '" + ("m/d/Y" if validate == "USDATE" else "d/m/Y") + "']"
    return ", 'format' => " + fmt if fmt else ""


def field_meta(f, basic_search):
    """A field's metadata as the PHP array the runtime reads."""
    category = CATEGORIES.get(f["FldType"], "string")
    out = ["['caption' => ", php(f["FldCaption"]), ", 'type' => ", php(f["FldTypeName"]), ", 'category' => '",
           category, "'"]
    if f["FldAutoIncrement"]:
        out.append(", 'auto' => true")
    out += [", 'list' => ", php_bool(f["FldList"]), ", 'view' => ", php_bool(f["FldView"]), ", 'add' => ",
            php_bool(f["FldAdd"]), ", 'edit' => ", php_bool(f["FldEdit"]), ", 'search' => ", php_bool(f["FldSearch"]),
            ", 'basic_search' => ", php_bool(f["FldBasicSearch"] and basic_search)]
    for setting, key in (("FldSrchOpr", "search_op"), ("FldSrchOpr2", "search_op2")):
        op = OPERATORS.get((f[setting] or "").strip(" ").upper(), "")
        if op:
            out.append(", '" + key + "' => '" + op + "'")
    ctl, choices = control_of(f, category)
    if ctl in ("TEXT", "TEXTAREA", "PASSWORD", "RADIO", "CHECKBOX", "SELECT", "HIDDEN", "FILE", "NO"):
        out.append(", 'control' => '" + ctl + "'" + choices)
    if ctl == "PASSWORD":
        out.append(", 'hash' => true")
    validate = (f["FldValidate"] or "").upper()
    if validate in VALIDATIONS and category in VALIDATIONS[validate]:
        out.append(", 'validate' => '" + ("number" if validate == "FLOAT" else VALIDATIONS[validate][0]) + "'")
    elif validate in ("EMAIL", "URL"):
        out.append(", 'validate' => '" + validate.lower() + "'")
    if f["FldRequired"]:
        out.append(", 'required' => true")
    if (f["FldTagMaxLength"] or 0) > 0:
        out.append(", 'maxlen' => " + str(f["FldTagMaxLength"]))
    elif category == "string" and (f["FldSize"] or 0) > 0:
        out.append(", 'maxlen' => " + str(f["FldSize"]))
    for setting, key in (("FldMin", "min"), ("FldMax", "max")):
        value = number(f[setting])
        if value is not None:
            out.append(", '" + key + "' => " + value)
    if f["FldErrMsg"]:
        out.append(", 'error' => " + php(f["FldErrMsg"]))
    if ctl == "TEXT" and (f["FldTagSize"] or 0) > 0:
        out.append(", 'size' => " + str(f["FldTagSize"]))
    if ctl == "TEXTAREA":
        if (f["FldTagRows"] or 0) > 0:
            out.append(", 'rows' => " + str(f["FldTagRows"]))
        if (f["FldTagCols"] or 0) > 0:
            out.append(", 'cols' => " + str(f["FldTagCols"]))
    if (f["FldViewTag"] or "").upper() == "IMAGE":
        out.append(", 'image' => true")
    out.append(default_of(f, category))
    out.append(format_of(f, category, validate))
    return "".join(out) + "]"


def int_list(text):
    out = [str(int(float(p.strip(" ")))) for p in (text or "").split(",") if number(p.strip(" ")) is not None]
    return ", ".join(out) or "10, 20, 50, 100"


def link_pairs(detail, master):
    d, m = (detail or "").split(","), (master or "").split(",")
    return "[" + ", ".join(php(a.strip(" ")) + " => " + php(b.strip(" ")) for a, b in zip(d, m)) + "]"


class Table:
    """A table's settings and what generation derives from them for its pages."""

    def __init__(self, raw, project):
        self.s, self.fields = raw["settings"], raw["fields"]
        s = self.s
        self.name, self.file = s["TblName"], s["TblVar"]
        self.key = s["TblKey"].split(",") if s["TblKey"] else []
        self.kind = {"VIEW": "view", "CUSTOMVIEW": "custom", "REPORT": "report"}.get(s["TblType"], "table")
        search = s["TblSrchType"] or ""
        self.basic_search = search in ("", "BASIC", "BOTH")
        self.advanced_search = search in ("ADVANCED", "BOTH")
        self.sort = next(((f["FldName"], f["FldOrder"]) for f in self.fields if f["FldOrder"]), None)
        use_global = s["TblUseGlobal"]
        size = s["TblRecPerPage"]
        if use_global or size < 1:
            size = project["RecPerPage"]
        self.page_size = size if size >= 1 else 20
        sizes = s["TblRecPerPageList"]
        self.page_sizes = int_list(project["RecPerPageList"] if use_global or not sizes else sizes)
        style = project["PagerStyle"] if use_global else s["TblPagerStyle"]
        self.pager = "prevnext" if style == 2 else "numeric"
        self.exports = ", ".join("'" + kind + "'" for kind, setting in
                                 (("csv", "TblExportCsv"), ("html", "TblExportHtml"), ("excel", "TblExportExcel"),
                                  ("word", "TblExportWord"), ("xml", "TblExportXml")) if s[setting])
        self.details = []

    def wants(self, setting):
        return setting is None or (self.advanced_search if setting == "search" else self.s[setting])


def main():
    schema = json.load(open(sys.argv[1]))
    out_root, rounds = sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 3
    here = os.path.dirname(os.path.abspath(__file__))
    env = jinja2.Environment(loader=jinja2.FileSystemLoader(here), autoescape=False,
                             keep_trailing_newline=True, trim_blocks=True, lstrip_blocks=True)
    env.filters.update(php=php, bool=php_bool)
    env.globals.update(field_meta=field_meta, link_pairs=link_pairs)
    info, page = env.get_template("info.j2"), env.get_template("page.j2")
    best, pages, size = None, 0, 0
    for r in range(rounds):
        out = os.path.join(out_root, str(r))
        os.makedirs(out)
        start = time.perf_counter()
        pages = size = 0
        tables = [Table(t, schema["project"]) for t in schema["tables"] if t["settings"]["TblGen"] and t["fields"]]
        by_name = {t.name.lower(): t for t in tables}
        for t in tables:
            master = by_name.get((t.s["TblMasterTbl"] or "").lower())
            if master:
                master.details.append(t)
        for table in tables:
            files = [(table.file + "_info.php", info.render(table=table, tables=by_name))]
            for kind, function, setting in PAGES:
                if table.wants(setting):
                    files.append((table.file + "_" + kind + ".php", page.render(function=function, table=table)))
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
