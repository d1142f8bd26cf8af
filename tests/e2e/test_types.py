"""End-to-end tests of an application generated from a schema with every
column type of one database (tests/e2e/types/<database>.sql): what a user
saves unchanged stays byte for byte as it was, values the column cannot hold
come back as form messages, choices by native type, paging without a key, and
a widened column after sync and regeneration. Checked in the database itself.
Environment: E2E_URL, E2E_APP, E2E_DB (sqlite, mysql, pgsql), E2E_PROJECT
(the project file) and ZANTREL (the generator) for the sync test.
"""
import html
import os
import re
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from http_client import Client, Database, form_fields, run_tests  # noqa: E402

URL = os.environ.get("E2E_URL", "http://127.0.0.1:8080")
APP = os.environ.get("E2E_APP", ".")
ENGINE = os.environ.get("E2E_DB", "sqlite")
DB = Database(APP)

# field, value typed, part of the message expected; per database.
REFUSED = {
    "sqlite": [
        ("qty", "-1", "fails a check"), ("code", "b", "already used by another record"),
        ("parent_id", "9", "refers to a record that does not exist"), ("price", "cheap", "must be a number"),
    ],
    "mysql": [
        ("small_u", "70000", "between 0 and 65535"), ("small_u", "-1", "between 0 and 65535"),
        ("tiny", "200", "between -128 and 127"), ("big", "9223372036854775808", "between -9223372036854775808"),
        ("price", "123.45", "at most 2 digits before"), ("yr", "1900", "between 1901 and 2155"),
        ("mood", "sadd", "one of the offered choices"), ("code", "toolong", "at most 5 characters"),
        ("doc", "{bad", "The database refused the record: doc"), ("qty", "-1", "qty fails a check"),
        ("code", "b", "code is already used"), ("parent_id", "9", "refers to a record that does not exist"),
        ("born", "2024-02-30", "must be a date"), ("uid", "nope", "uid is not an allowed value"),
    ],
    "pgsql": [
        ("small", "40000", "between -32768 and 32767"), ("price", "123.45", "at most 2 digits before"),
        ("feel", "sadd", "one of the offered choices"), ("doc", "{bad", "doc is not an allowed value"),
        ("nums", "{1,x}", "nums is not an allowed value"), ("span", "abc", "span is not an allowed value"),
        ("at_tz", "xx", "at tz is not an allowed value"), ("cash", "abc", "must be a number"),
        ("addr", "nope", "addr is not an allowed value"), ("qty", "-1", "qty fails a check"),
        ("code", "b", "code is already used"), ("parent_id", "9", "refers to a record that does not exist"),
        ("code", "toolong", "at most 5 characters"),
    ],
}


def errors(r):
    """The form's messages, for failure reports."""
    return f"{r.status}: " + "; ".join(re.findall(r"<li>(.*?)</li>", r.text))


def table_rows():
    """Every column of every row, as the database hands it out (binary as hex)."""
    return DB.rows("SELECT * FROM kinds ORDER BY id")


def edit_path(row_id):
    return f"kinds_edit.php?key%5Bid%5D={row_id}"


def changed(fields, name, value):
    """The unchanged form's fields with one replaced (a list value: several boxes ticked)."""
    key = f"f[{name}]"
    kept = [(k, v) for k, v in fields if k != key and k != key + "[]"]
    if isinstance(value, list):
        return kept + [(key, "")] + [(key + "[]", v) for v in value]
    return kept + [(key, value)]


class RoundTripTests(unittest.TestCase):
    """Saving a form unchanged writes nothing; a changed text is stored as typed."""

    @classmethod
    def setUpClass(cls):
        cls.c = Client(URL)

    def form(self, row_id):
        page = self.c.get(edit_path(row_id))
        self.assertEqual(page.status, 200, errors(page))
        return form_fields(page.text)

    def test_unchanged_save_leaves_every_column_byte_identical(self):
        before = table_rows()
        for row in before:
            with self.subTest(row=row["id"]):
                action, fields = self.form(row["id"])
                r = self.c.post(action, fields)
                self.assertEqual(r.status, 303, re.findall(r'class="zt-errors?">(.*?)</', r.text))
        self.assertEqual(table_rows(), before)

    def test_changed_text_keeps_blanks_and_an_emptied_optional_field_is_null(self):
        action, fields = self.form(4)
        r = self.c.post(action, changed(changed(fields, "note", "  two blanks  "), "code", ""))
        self.assertEqual(r.status, 303, errors(r))
        row = DB.rows("SELECT note, code FROM kinds WHERE id = 4")[0]
        self.assertEqual(row, {"note": "  two blanks  ", "code": None})

    def test_required_means_not_empty_only_when_changed(self):
        action, fields = self.form(3)  # its name is one blank
        self.assertEqual(self.c.post(action, fields).status, 303)
        before = table_rows()
        r = self.c.post(action, changed(fields, "name", ""))
        self.assertEqual(r.status, 200)
        self.assertTrue("name is required." in r.text, errors(r))
        self.assertEqual(table_rows(), before)


class RefusalTests(unittest.TestCase):
    """Every value the column cannot hold is a message on the form, never a server error."""

    def test_values_the_column_cannot_hold_give_form_messages(self):
        c = Client(URL)
        page = c.get(edit_path(2))
        action, fields = form_fields(page.text)
        before = table_rows()
        for name, value, message in REFUSED[ENGINE]:
            with self.subTest(field=name, value=value):
                r = c.post(action, changed(fields, name, value))
                self.assertEqual(r.status, 200, errors(r))
                self.assertTrue(message in html.unescape(r.text), errors(r))
        self.assertEqual(table_rows(), before)


class ChoiceTests(unittest.TestCase):
    """Controls by native type."""

    def setUp(self):
        self.c = Client(URL)

    @unittest.skipUnless(ENGINE == "mysql", "SET columns are MariaDB's")
    def test_a_set_column_keeps_two_values(self):
        action, fields = form_fields(self.c.get(edit_path(3)).text)
        r = self.c.post(action, changed(fields, "tags", ["red", "blue"]))
        self.assertEqual(r.status, 303, errors(r))
        self.assertEqual(DB.value("SELECT tags FROM kinds WHERE id = 3"), "red,blue")
        action, fields = form_fields(self.c.get(edit_path(3)).text)
        self.assertEqual([v for k, v in fields if k == "f[tags][]"], ["red", "blue"])
        r = self.c.post(action, changed(fields, "tags", []))
        self.assertEqual(r.status, 303)
        self.assertIsNone(DB.value("SELECT tags FROM kinds WHERE id = 3"))  # emptied: NULL, as any optional field
        r = self.c.post(action, changed(fields, "tags", ["red", "purple"]))
        self.assertIn("one of the offered choices", r.text)

    @unittest.skipUnless(ENGINE == "mysql", "geometry columns of MariaDB")
    def test_geometry_is_shown_as_text_and_not_edited(self):
        view = self.c.get("kinds_view.php?key%5Bid%5D=2").text
        self.assertIn("LINESTRING(0 0,1 1)", view)
        self.assertNotIn('name="f[shape]"', self.c.get(edit_path(2)).text)

    @unittest.skipUnless(ENGINE == "pgsql", "PostgreSQL types")
    def test_postgres_enum_money_arrays_and_uuid_default(self):
        form = self.c.get(edit_path(2)).text
        self.assertIn('type="radio" name="f[feel]" value="sad" checked', form)
        view = self.c.get("kinds_view.php?key%5Bid%5D=2").text
        self.assertIn("12.50", view)
        self.assertNotIn("$12.50", view)
        self.assertIn("a b, c", view)
        listed = self.c.get("kinds_list.php").text
        self.assertNotIn("fat", listed)  # full-text vectors stay off the list
        add = self.c.get("kinds_add.php")
        action, fields = form_fields(add.text)
        r = self.c.post(action, changed(fields, "name", "uuid by default"))
        self.assertEqual(r.status, 303, errors(r))
        self.assertRegex(DB.value("SELECT uid FROM kinds WHERE name = 'uuid by default'") or "", "^[0-9a-f-]{36}$")

    @unittest.skipUnless(ENGINE == "pgsql", "PostgreSQL types")
    def test_uuid_key_with_a_default(self):
        action, fields = form_fields(self.c.get("tokens_add.php").text)
        r = self.c.post(action, changed(fields, "label", "second"))
        self.assertEqual(r.status, 303, errors(r))
        self.assertEqual(DB.value("SELECT COUNT(*) FROM tokens"), 2)
        self.assertEqual(self.c.get("tokens_view.php?key%5Btoken%5D=not-a-uuid").status, 404)

    @unittest.skipUnless(ENGINE == "sqlite", "SQLite's TEXT")
    def test_sqlite_text_is_listed(self):
        self.assertIn("Zürich ✓", self.c.get("kinds_list.php").text)


class PagingTests(unittest.TestCase):
    """A list without a key visits every row exactly once, page by page."""

    def visit(self, query):
        c = Client(URL)
        seen = []
        for page in range(1, 6):
            text = c.get("series_view_list.php?" + query + f"&page={page}").text
            body = text.split("<tbody>")[1].split("</tbody>")[0]
            seen += [int(cells[1]) for cells in
                     (re.findall(r"<td>(.*?)</td>", row) for row in body.split("</tr>")) if len(cells) >= 2]
        return sorted(seen)

    def test_keyless_view_pages_neither_overlap_nor_skip(self):
        for query in ("size=10", "size=10&sort=label", "size=10&sort=label&dir=desc"):
            with self.subTest(query=query):
                self.assertEqual(self.visit(query), list(range(1, 46)))


@unittest.skipUnless(os.environ.get("E2E_PROJECT") and ENGINE != "sqlite", "needs the project and a server")
class SyncTests(unittest.TestCase):
    """A column widened in the database takes the longer value after sync and regeneration."""

    def test_widened_column_after_sync_and_generate(self):
        widen = {"mysql": "ALTER TABLE kinds MODIFY code VARCHAR(12) NULL",
                 "pgsql": "ALTER TABLE kinds ALTER COLUMN code TYPE varchar(12)"}[ENGINE]
        DB.rows(widen)
        zantrel, project = os.environ["ZANTREL"], os.environ["E2E_PROJECT"]
        env = dict(os.environ)
        for args in (["sync", project, "--keys", "keep"], ["generate", project, "--dest", APP, "--overwrite", "all", "--quiet"]):
            out = subprocess.run([zantrel] + args, capture_output=True, text=True, env=env)
            self.assertEqual(out.returncode, 0, out.stderr)
        c = Client(URL)
        action, fields = form_fields(c.get(edit_path(4)).text)
        r = c.post(action, changed(fields, "code", "abcdefghij"))
        self.assertEqual(r.status, 303, errors(r))
        self.assertEqual(DB.value("SELECT code FROM kinds WHERE id = 4"), "abcdefghij")


if __name__ == "__main__":
    sys.exit(run_tests(sys.modules[__name__]))
