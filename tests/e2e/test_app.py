"""End-to-end tests of a generated application over the demo shop database.

The application runs under PHP's built-in server (started by tests/e2e/run);
every change a request makes is checked in the database itself.
Environment: E2E_URL (the server), E2E_APP (the application folder),
E2E_DB (sqlite, mysql or pgsql, for messages only).
"""
import contextlib
import csv
import html
import io
import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from http_client import Client, Database, run_tests  # noqa: E402

URL = os.environ.get("E2E_URL", "http://127.0.0.1:8080")
APP = os.environ.get("E2E_APP", ".")
DB = Database(APP)
ADMIN = ("admin", "admin-secret")

PROBES = [
    "' OR '1'='1", "1 OR 1=1", "1' OR '1'='1' --", "1; DROP TABLE products; --",
    "\" OR \"\"=\"", "1) OR (1=1", "' UNION SELECT name, email FROM customers --",
    "name; DELETE FROM products", "1 AND SLEEP(0)", "%' --", "0x31", "name`", "name\"",
]
PNG_1x1 = bytes.fromhex(
    "89504e470d0a1a0a0000000d49484452000000010000000108020000009077"
    "53de0000000c4944415408d763f8cfc0000003010100c9fe92ef0000000049454e44ae426082")


def product_ids(html):
    return [int(x) for x in re.findall(r'products_view\.php\?key%5Bproduct_id%5D=(\d+)[&"]', html)]


def item_keys(html):
    return [(int(a), int(b)) for a, b in
            re.findall(r'order_items_view\.php\?key%5Border_id%5D=(\d+)&amp;key%5Bproduct_id%5D=(\d+)[&"]', html)]


def admin():
    c = Client(URL)
    r = c.login(*ADMIN)
    assert r.status == 303, f"admin login failed: {r.status}"
    return c


def snapshot(table, key):
    return DB.rows(f"SELECT * FROM {table} ORDER BY {key}")


@contextlib.contextmanager
def local_config(entries):
    """Runs with extra entries (PHP source such as "'a' => 1,") in the application's config.local.php;
    they go last, so that an entry of a nested call wins."""
    local = os.path.join(APP, "config.local.php")
    with open(local, encoding="utf-8") as f:
        original = f.read()
    try:
        with open(local, "w", encoding="utf-8") as f:
            head, tail = original.rsplit("];", 1)
            f.write(head + entries + "\n];" + tail)
        yield
    finally:
        with open(local, "w", encoding="utf-8") as f:
            f.write(original)


@contextlib.contextmanager
def sql_log():
    """Yields a function that returns the SQL statements the application ran since the last call."""
    path = os.path.join(os.path.dirname(os.path.abspath(APP)), "statements.log")

    def statements():
        with open(path, "a+", encoding="utf-8") as f:
            f.seek(0)
            lines = f.read().splitlines()
            f.truncate(0)
        return lines
    with local_config(f"'sql_log' => {path!r},"):
        yield statements


@contextlib.contextmanager
def metadata_changed(file, change):
    """Runs with a table's metadata changed by PHP statements on $m, e.g. "$m['perm']['export'] = ['csv'];"."""
    info = os.path.join(APP, f"{file}_info.php")
    base = os.path.join(APP, f"{file}_base_info.php")
    os.rename(info, base)
    try:
        with open(info, "w", encoding="utf-8") as f:
            f.write(f"<?php\n$m = require __DIR__ . '/{file}_base_info.php';\n{change}\nreturn $m;\n")
        yield
    finally:
        os.replace(base, info)


def from_table(statements, table):
    """The statements that read the table (quoted the way of any of the three databases)."""
    return [x for x in statements if re.search(rf'FROM [`"]{table}[`"]', x)]


class AccessTests(unittest.TestCase):
    """Security: login required everywhere, headers, cookies, lock-out, logout."""

    PAGES = sorted(f for f in os.listdir(APP) if f.endswith(".php") and not f.endswith("_info.php")
                   and f not in ("login.php", "logout.php", "config.php", "config.local.php", "register.php",
                                 "forgot_password.php", "reset_password.php", "confirm.php"))

    def test_every_page_redirects_to_login_until_logged_in(self):
        c = Client(URL)
        for page in self.PAGES:
            with self.subTest(page=page):
                r = c.get(page)
                self.assertEqual(r.status, 303)
                self.assertTrue(r.location.startswith("login.php?return="), r.location)
        before = DB.value("SELECT COUNT(*) FROM categories")
        r = c.post("categories_add.php", [("f[name]", "Sneaky")])
        self.assertEqual(r.status, 303)
        self.assertEqual(DB.value("SELECT COUNT(*) FROM categories"), before)

    def test_login_returns_to_the_page_and_renews_the_session(self):
        c = Client(URL)
        first = c.get("products_list.php")
        self.assertIn("return=products_list.php", first.location)
        old = c.session()
        token = c.token("login.php")
        r = c.post("login.php", [("_csrf", token), ("login", "admin"), ("password", "admin-secret"),
                                 ("return", "products_list.php")])
        self.assertEqual((r.status, r.location), (303, "products_list.php"))
        self.assertNotEqual(c.session(), old)
        self.assertEqual(c.get("products_list.php").status, 200)
        evil = c.post("login.php", [("_csrf", c.token("login.php")), ("login", "admin"),
                                    ("password", "admin-secret"), ("return", "https://evil.example/")])
        self.assertEqual(evil.location, "index.php")

    def test_configuration_and_runtime_files_show_nothing(self):
        for path in ("config.php", "config.local.php", "products_info.php", "zt/zt.php", "zt/lib/db.php",
                     "zt/lang/en.php"):
            with self.subTest(path=path):
                r = Client(URL).get(path)
                self.assertEqual(r.body, b"")

    def test_headers_and_cookie_flags(self):
        r = Client(URL).get("login.php")
        self.assertEqual(r.headers["X-Frame-Options"], "DENY")
        self.assertIn("frame-ancestors 'none'", r.headers["Content-Security-Policy"])
        cookie = r.headers["Set-Cookie"]
        self.assertIn("HttpOnly", cookie)
        self.assertIn("SameSite=Strict", cookie)
        self.assertIsNone(r.headers.get("X-Powered-By"))

    def test_strict_session_ignores_an_unknown_session_id(self):
        name = Client(URL).get("login.php").headers["Set-Cookie"].split("=")[0]
        r = Client(URL).request("login.php", headers={"Cookie": f"{name}=attackerchosen0123456789abc"})
        self.assertNotIn("attackerchosen", r.headers.get("Set-Cookie", ""))
        self.assertIn(f"{name}=", r.headers.get("Set-Cookie", ""))

    def test_login_table_with_hashed_and_plain_passwords(self):
        hashed = Client(URL)
        self.assertEqual(hashed.login("ada@example.com", "ada-secret").status, 303)
        self.assertEqual(hashed.get("orders_list.php").status, 200)
        wrong = Client(URL)
        r = wrong.login("ada@example.com", "ada-secrets")
        self.assertEqual(r.status, 200)
        self.assertIn("wrong", r.text)
        self.assertEqual(wrong.get("orders_list.php").status, 303)
        self.assertEqual(Client(URL).login("alan@example.com", "plain-secret").status, 303)
        self.assertEqual(Client(URL).login("grace@example.com", "").status, 200)

    def test_lock_out_after_repeated_failures(self):
        c = Client(URL)
        for _ in range(5):
            r = c.login("radia@example.com", "guess")
            self.assertEqual(r.status, 200)
        self.assertIn("Too many failed attempts", r.text)
        # the right password is refused while locked, also from a fresh session
        admin_hash = "$2y$10$/0R3E6F50HLPNvyvxfVZJuU4xTXx3mdKO2FSfh8PghN1U4VPUFzYS"
        DB.rows("UPDATE customers SET password = ? WHERE email = ?", [admin_hash, "radia@example.com"])
        r = Client(URL).login("radia@example.com", "admin-secret")
        self.assertEqual(r.status, 200)
        self.assertIn("Too many failed attempts", r.text)

    def test_each_security_kind(self):
        # kind -> (admin can log in, a customer can log in)
        kinds = {"none": None, "fixed": (True, False), "table": (False, True), "both": (True, True)}
        for kind, logins in kinds.items():
            with self.subTest(kind=kind), local_config(f"'security' => ['type' => '{kind}'],"):
                c = Client(URL)
                if logins is None:
                    self.assertEqual(c.get("products_list.php").status, 200)
                    self.assertEqual(c.get("login.php").location, "index.php")
                    continue
                self.assertEqual(c.get("products_list.php").status, 303)
                admin_in = Client(URL).login(*ADMIN).status == 303
                customer_in = Client(URL).login("ada@example.com", "ada-secret").status == 303
                self.assertEqual((admin_in, customer_in), logins)

    def test_logout_needs_the_token_and_ends_the_session(self):
        c = admin()
        self.assertEqual(c.get("logout.php").status, 303)
        self.assertEqual(c.get("index.php").status, 200)
        page = c.get("index.php").text
        link = re.search(r'href="(logout\.php\?_csrf=[0-9a-f]+)"', page).group(1)
        self.assertEqual(c.get(link).status, 303)
        self.assertEqual(c.get("index.php").status, 303)


class ListTests(unittest.TestCase):
    """List pages: rows, paging, sorting, search, master/detail, read-only lists."""

    @classmethod
    def setUpClass(cls):
        cls.c = admin()

    def test_pages_cover_every_row_once(self):
        all_ids = DB.column("SELECT product_id FROM products ORDER BY product_id")
        seen = []
        page = 1
        while True:
            r = self.c.get("products_list.php", {"page": page, "size": 5})
            self.assertEqual(r.status, 200)
            ids = product_ids(r.text)
            seen += ids
            if len(ids) < 5 or len(seen) >= len(all_ids):
                break
            page += 1
        self.assertEqual(seen, all_ids)
        self.assertIn(f"of {len(all_ids)}", r.text)
        beyond = self.c.get("products_list.php", {"page": 999, "size": 5})
        self.assertEqual(product_ids(beyond.text), all_ids[-(len(all_ids) % 5 or 5):])

    def test_sort_by_column_both_ways(self):
        expected = DB.column("SELECT product_id FROM products ORDER BY price DESC, product_id")
        r = self.c.get("products_list.php", {"sort": "price", "dir": "desc", "size": 50})
        self.assertEqual(product_ids(r.text), expected)
        expected = DB.column("SELECT product_id FROM products ORDER BY name, product_id")
        r = self.c.get("products_list.php", {"sort": "name", "size": 50})
        self.assertEqual(product_ids(r.text), expected)

    def test_basic_and_advanced_search_narrow(self):
        expected = DB.column("SELECT product_id FROM products WHERE LOWER(name) LIKE ? OR LOWER(notes) LIKE ? "
                             "ORDER BY product_id", ["%tea%", "%tea%"])
        r = self.c.get("products_list.php", {"q": "TEA", "size": 50})
        self.assertTrue(0 < len(expected) < 24)
        self.assertEqual(product_ids(r.text), expected)
        expected = DB.column("SELECT product_id FROM products WHERE price BETWEEN 5 AND 10 ORDER BY product_id")
        r = self.c.get("products_list.php", {"s[price]": "5", "s2[price]": "10", "size": 50})
        self.assertEqual(product_ids(r.text), expected)
        expected = DB.column("SELECT product_id FROM products WHERE stock >= 100 ORDER BY product_id")
        r = self.c.get("products_list.php", {"s[stock]": "100", "size": 50})
        self.assertEqual(product_ids(r.text), expected)
        self.assertEqual(product_ids(self.c.get("products_list.php", {"q": "50%"}).text), [])
        cities = {"STARTS": ("bos%", "Bos"), "ENDS": ("%ton", "ton"), "=": ("berkeley", "Berkeley"),
                  "<>": ("", "Boston"), "nonsense": ("london", "London")}
        for op, (pattern, value) in cities.items():
            with self.subTest(operator=op):
                if op == "<>":
                    expected = DB.column("SELECT name FROM customers WHERE city <> ? ORDER BY customer_id", [value])
                else:
                    expected = DB.column("SELECT name FROM customers WHERE LOWER(city) LIKE ? ORDER BY customer_id",
                                         [pattern])
                r = self.c.get("customers_list.php", {"s[city]": value, "so[city]": op})
                self.assertEqual(re.findall(r"<td>([^<]*)</td><td>[^<]*@", r.text), expected)
        form = self.c.get("products_search.php")
        self.assertIn('name="s[price]"', form.text)
        self.assertIn('name="s2[price]"', form.text)
        self.assertIn('<option value="STARTS">', self.c.get("customers_search.php").text)

    def test_master_detail_links_and_filter(self):
        r = self.c.get("orders_list.php")
        self.assertIn("order_items_list.php?m%5Border_id%5D=3", r.text)
        expected = [tuple(x.values()) for x in
                    DB.rows("SELECT order_id, product_id FROM order_items WHERE order_id = 3 ORDER BY product_id")]
        r = self.c.get("order_items_list.php", {"m[order_id]": "3"})
        self.assertEqual(item_keys(r.text), expected)
        self.assertIn("Records of Orders where Order = 3", r.text)
        add = self.c.get("order_items_add.php", {"m[order_id]": "3"})
        self.assertRegex(add.text, r'name="f\[order_id\]"[^>]*value="3"')

    def test_view_without_key_custom_view_and_report_are_read_only(self):
        for page in ("product_sales_list.php", "big_orders_list.php", "sales_report_report.php"):
            r = self.c.get(page)
            self.assertEqual(r.status, 200, page)
            self.assertNotIn("_edit.php", r.text)
            self.assertNotIn("_delete.php", r.text)
        self.assertEqual(self.c.get("product_sales_edit.php").status, 404)
        report = self.c.get("sales_report_report.php").text
        self.assertIn("Category: Tea", report)
        total = DB.value("SELECT SUM(quantity * unit_price) FROM order_items")
        self.assertIn(f"${float(total):,.2f}", report)

    def test_view_page_shows_memo_lines_and_blob_link(self):
        r = self.c.get("products_view.php", {"key[product_id]": "3"})
        self.assertIn("Batch 003.<br>\nStore dry and cool.", r.text)
        self.assertIn('<img class="zt-image" src="products_blob.php?fld=image', r.text)
        blob = self.c.get("products_blob.php", {"fld": "image", "key[product_id]": "3"})
        self.assertEqual(blob.headers["Content-Type"], "image/png")
        self.assertEqual(blob.body.hex(), DB.value("SELECT image FROM products WHERE product_id = 3"))
        self.assertEqual(self.c.get("products_blob.php", {"fld": "name", "key[product_id]": "3"}).status, 404)


class ChangeTests(unittest.TestCase):
    """Add, edit, copy, delete and multi-delete change exactly their rows."""

    @classmethod
    def setUpClass(cls):
        cls.c = admin()

    def form(self, page, query, fields, files=None):
        path = page + ("?" + query if query else "")
        return self.c.post(path, [("_csrf", self.c.token("login.php"))] + fields, files)

    def test_add_inserts_one_row_with_the_values(self):
        before = snapshot("products", "product_id")
        r = self.form("products_add.php", "", [
            ("f[category_id]", "2"), ("f[name]", "Cold brew"), ("f[price]", "6.25"), ("f[stock]", "12"),
            ("f[active]", "0"), ("f[notes]", "First line\nSecond line"), ("f[added_on]", "2024-06-01")])
        self.assertEqual((r.status, r.location), (303, "products_list.php"))
        after = snapshot("products", "product_id")
        self.assertEqual(after[:len(before)], before)
        self.assertEqual(len(after), len(before) + 1)
        new = DB.rows("SELECT category_id, name, price, stock, active, notes, added_on "
                      "FROM products WHERE name = ?", ["Cold brew"])
        self.assertEqual(len(new), 1)
        new[0]["price"] = float(new[0]["price"])
        new[0]["active"] = bool(new[0]["active"])
        self.assertEqual(new[0], {"category_id": 2, "name": "Cold brew", "price": 6.25, "stock": 12, "active": False,
                                  "notes": "First line\nSecond line", "added_on": "2024-06-01"})
        self.assertIn("The record was added.", self.c.follow(r).text)

    def test_invalid_values_are_refused_with_messages(self):
        before = snapshot("products", "product_id")
        r = self.form("products_add.php", "", [
            ("f[category_id]", "99"), ("f[name]", ""), ("f[price]", "cheap"), ("f[added_on]", "2024-02-30"),
            ("f[stock]", "-3")])
        self.assertEqual(r.status, 200)
        for message in ("Category must be one of", "Name is required", "Please give the price as a number",
                        "Added on must be a date", "Stock must lie between 0 and"):
            self.assertIn(message, r.text)
        self.assertEqual(snapshot("products", "product_id"), before)

    def test_edit_changes_only_that_row(self):
        before = snapshot("categories", "category_id")
        r = self.form("categories_edit.php", "key%5Bcategory_id%5D=5",
                      [("f[name]", "Sweets"), ("f[description]", "Cakes & biscuits")])
        self.assertEqual(r.status, 303)
        after = snapshot("categories", "category_id")
        changed = [(b, a) for b, a in zip(before, after) if b != a]
        self.assertEqual(len(before), len(after))
        self.assertEqual(changed, [(before[4], {"category_id": 5, "name": "Sweets", "description": "Cakes & biscuits"})])

    def test_copy_adds_a_new_row_from_the_old(self):
        form = self.c.get("orders_copy.php", {"key[order_id]": "4"})
        self.assertIn("Leave at the door.\nRing twice.</textarea>", form.text)
        before = snapshot("orders", "order_id")
        r = self.form("orders_copy.php", "key%5Border_id%5D=4", [
            ("f[customer_id]", "2"), ("f[order_date]", "2024-08-01"), ("f[order_time]", "10:30"),
            ("f[status]", "paid"), ("f[note]", "Copied")])
        self.assertEqual(r.status, 303)
        after = snapshot("orders", "order_id")
        self.assertEqual(after[:len(before)], before)
        self.assertEqual(len(after), len(before) + 1)
        self.assertEqual((after[-1]["customer_id"], after[-1]["status"], after[-1]["note"]), (2, "paid", "Copied"))

    def test_delete_one_row_and_several(self):
        DB.rows("INSERT INTO customers (name, email) VALUES ('Gone One', 'g1@example.com')")
        DB.rows("INSERT INTO customers (name, email) VALUES ('Gone Two', 'g2@example.com')")
        DB.rows("INSERT INTO customers (name, email) VALUES ('Gone Three', 'g3@example.com')")
        # the new ids (auto-increment may have skipped the ids of rows other tests deleted)
        cid = DB.value("SELECT customer_id FROM customers WHERE email = 'g1@example.com'") - 1
        self.assertEqual(DB.value("SELECT MAX(customer_id) FROM customers"), cid + 3)
        before = snapshot("customers", "customer_id")
        confirm = self.c.get("customers_delete.php", {"key[customer_id]": str(cid + 1)})
        self.assertIn("Gone One", confirm.text)
        self.assertEqual(snapshot("customers", "customer_id"), before)
        r = self.form("customers_delete.php", "", [("confirm", "1"), ("key[customer_id]", str(cid + 1))])
        self.assertEqual(r.status, 303)
        self.assertEqual(snapshot("customers", "customer_id"), before[:-3] + before[-2:])
        r = self.form("customers_delete.php", "", [
            ("confirm", "1"), ("keys[]", f"key%5Bcustomer_id%5D={cid + 2}"), ("keys[]", f"key[customer_id]={cid + 3}")])
        self.assertEqual(r.status, 303)
        self.assertEqual(snapshot("customers", "customer_id"), before[:-3])

    def test_delete_of_a_referenced_row_is_refused_politely(self):
        before = snapshot("categories", "category_id")
        r = self.form("categories_delete.php", "", [("confirm", "1"), ("key[category_id]", "1")])
        self.assertEqual(r.status, 303)
        self.assertIn("refused", self.c.follow(r).text)
        self.assertEqual(snapshot("categories", "category_id"), before)

    def test_post_without_csrf_token_is_refused(self):
        tables = {t: snapshot(t, k) for t, k in (("categories", "category_id"), ("customers", "customer_id"))}
        for page, fields in (("categories_add.php", [("f[name]", "NoToken")]),
                             ("categories_edit.php?key%5Bcategory_id%5D=2", [("f[name]", "NoToken")]),
                             ("categories_delete.php", [("confirm", "1"), ("key[category_id]", "6")]),
                             ("customers_delete.php", [("confirm", "1"), ("keys[]", "key[customer_id]=3")])):
            for token in ([], [("_csrf", "0" * 64)]):
                with self.subTest(page=page, token=bool(token)):
                    r = self.c.post(page, token + fields)
                    self.assertEqual(r.status, 403)
        for t, k in (("categories", "category_id"), ("customers", "customer_id")):
            self.assertEqual(snapshot(t, k), tables[t])

    def test_stored_xss_probe_comes_back_escaped(self):
        probe = '<script>alert("x")</script><img src=x onerror=alert(1)>'
        r = self.form("categories_add.php", "", [("f[name]", probe), ("f[description]", probe)])
        self.assertEqual(r.status, 303)
        cid = DB.value("SELECT category_id FROM categories WHERE name = ?", [probe])
        for page, query in (("categories_list.php", {}), ("categories_view.php", {"key[category_id]": cid}),
                            ("categories_edit.php", {"key[category_id]": cid}), ("products_add.php", {}),
                            ("categories_list.php", {"q": probe})):
            text = self.c.get(page, query).text
            with self.subTest(page=page):
                self.assertNotIn("<script>alert", text)
                self.assertNotIn("<img src=x", text)
                self.assertIn("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;", text)

    def test_upload_is_checked_and_stored_as_blob(self):
        r = self.form("products_edit.php", "key%5Bproduct_id%5D=20",
                      [("f[category_id]", "5"), ("f[name]", "Shortbread"), ("f[price]", "3.10")],
                      {"f[image]": ("pic.png", PNG_1x1)})
        self.assertEqual(r.status, 303)
        self.assertEqual(DB.value("SELECT image FROM products WHERE product_id = 20"), PNG_1x1.hex())
        for name, content in (("shell.png", b"<?php system($_GET['c']); ?>"), ("pic.php", PNG_1x1)):
            with self.subTest(name=name):
                r = self.form("products_edit.php", "key%5Bproduct_id%5D=20",
                              [("f[category_id]", "5"), ("f[name]", "Hacked"), ("f[price]", "3.10")],
                              {"f[image]": (name, content)})
                self.assertEqual(r.status, 200)
                self.assertIn("not of an allowed type", r.text)
        self.assertEqual(DB.value("SELECT name FROM products WHERE product_id = 20"), "Shortbread")

    def test_file_upload_is_stored_outside_the_application(self):
        key = "key%5Bproduct_id%5D=21"
        fields = [("f[category_id]", "6"), ("f[name]", "Tea sampler box"), ("f[price]", "19.90")]
        for name, content, error in (("big.txt", b"x" * 5000, "larger than 4096 bytes"),
                                     ("sheet.txt", b"<?php echo 1; ?>", "not of an allowed type"),
                                     ("sheet.php", b"plain text", "not of an allowed type")):
            with self.subTest(name=name):
                r = self.form("products_edit.php", key, fields, {"f[sheet]": (name, content)})
                self.assertIn(error, r.text)
        self.assertIsNone(DB.value("SELECT sheet FROM products WHERE product_id = 21"))
        r = self.form("products_edit.php", key, fields, {"f[sheet]": ("sheet.txt", b"Keep dry.\n")})
        self.assertEqual(r.status, 303)
        stored = DB.value("SELECT sheet FROM products WHERE product_id = 21")
        self.assertRegex(stored, r"^[0-9a-f]{32}\.txt$")
        uploads = os.path.join(os.path.dirname(os.path.abspath(APP)), "uploads")
        with open(os.path.join(uploads, stored), "rb") as f:
            self.assertEqual(f.read(), b"Keep dry.\n")
        self.assertFalse(os.path.exists(os.path.join(APP, stored)))
        r = self.c.get("products_blob.php", {"fld": "sheet", "key[product_id]": "21"})
        self.assertEqual((r.status, r.body), (200, b"Keep dry.\n"))
        self.assertEqual(r.headers["Content-Type"], "application/octet-stream")
        self.assertTrue(r.headers["Content-Disposition"].startswith("attachment"))


class CompositeKeyTests(unittest.TestCase):
    """order_items has a key of two fields: every link and change carries both."""

    @classmethod
    def setUpClass(cls):
        cls.c = admin()

    def test_edit_copy_and_delete_row_by_row(self):
        rows = DB.rows("SELECT order_id, product_id FROM order_items WHERE order_id = 5 ORDER BY product_id")
        self.assertGreaterEqual(len(rows), 2)
        a, b = rows[0]["product_id"], rows[1]["product_id"]
        before = snapshot("order_items", "order_id, product_id")
        listed = self.c.get("order_items_list.php", {"m[order_id]": "5"}).text
        path = f"order_items_edit.php?key%5Border_id%5D=5&key%5Bproduct_id%5D={a}&m%5Border_id%5D=5"
        self.assertIn(path.replace("&", "&amp;"), listed)
        r = self.c.post(path, [("_csrf", self.c.token(path)), ("f[order_id]", "5"), ("f[product_id]", str(a)),
                               ("f[quantity]", "9"), ("f[unit_price]", "1.50")])
        self.assertEqual((r.status, r.location), (303, "order_items_list.php?m%5Border_id%5D=5"))
        after = snapshot("order_items", "order_id, product_id")
        diff = [(x, y) for x, y in zip(before, after) if x != y]
        self.assertEqual(len(diff), 1)
        self.assertEqual((diff[0][1]["order_id"], diff[0][1]["product_id"], diff[0][1]["quantity"]), (5, a, 9))

        path = f"order_items_copy.php?key%5Border_id%5D=5&key%5Bproduct_id%5D={b}"
        dup = self.c.post(path, [("_csrf", self.c.token(path)), ("f[order_id]", "5"), ("f[product_id]", str(a)),
                                 ("f[quantity]", "1"), ("f[unit_price]", "1")])
        self.assertEqual(dup.status, 200)
        self.assertIn("refused the record", dup.text)
        self.assertEqual(snapshot("order_items", "order_id, product_id"), after)

        path = "order_items_delete.php"
        r = self.c.post(path, [("_csrf", self.c.token("order_items_list.php")), ("confirm", "1"),
                               ("key[order_id]", "5"), ("key[product_id]", str(a))])
        self.assertEqual(r.status, 303)
        left = snapshot("order_items", "order_id, product_id")
        self.assertEqual(left, [x for x in after if (x["order_id"], x["product_id"]) != (5, a)])
        self.assertIn((5, b), [(x["order_id"], x["product_id"]) for x in left])

    def test_view_with_a_key_is_editable_where_the_database_allows(self):
        listed = self.c.get("product_stock_list.php", {"size": 50}).text
        self.assertIn("product_stock_edit.php?key%5Bproduct_id%5D=2", listed)
        self.assertNotIn("product_stock_delete.php", listed)
        before = snapshot("products", "product_id")
        path = "product_stock_edit.php?key%5Bproduct_id%5D=2"
        r = self.c.post(path, [("_csrf", self.c.token(path)), ("f[stock]", "77"), ("f[name]", "Renamed")])
        after = snapshot("products", "product_id")
        if os.environ.get("E2E_DB") == "sqlite":
            self.assertEqual(r.status, 200)
            self.assertIn("does not allow changes through this view", r.text)
            self.assertEqual(after, before)
            return
        self.assertEqual(r.status, 303)
        changed = [(b, a) for b, a in zip(before, after) if b != a]
        self.assertEqual([(a["product_id"], a["name"], a["stock"]) for _, a in changed], [(2, "Black tea", 77)])

    def test_partial_key_finds_nothing(self):
        self.assertEqual(self.c.get("order_items_view.php", {"key[order_id]": "5"}).status, 404)
        self.assertEqual(self.c.get("order_items_edit.php", {"key[product_id]": "1"}).status, 404)


class InjectionTests(unittest.TestCase):
    """Probes in search, sort, paging, key and filter parameters: no error, no other rows."""

    @classmethod
    def setUpClass(cls):
        cls.c = admin()
        cls.default = product_ids(cls.c.get("products_list.php").text)

    def test_probes(self):
        counts = {t: DB.value(f"SELECT COUNT(*) FROM {t}") for t in ("products", "customers", "order_items")}
        for probe in PROBES:
            with self.subTest(probe=probe):
                self.assertEqual(product_ids(self.c.get("products_list.php", {"q": probe}).text), [])
                for param in ("sort", "dir", "page", "size"):
                    r = self.c.get("products_list.php", {param: probe})
                    self.assertEqual(r.status, 200)
                    self.assertEqual(product_ids(r.text), self.default, param)
                for param in ("s[stock]", "s[price]", "s[added_on]", "s[name]"):
                    r = self.c.get("products_list.php", {param: probe})
                    self.assertEqual(r.status, 200)
                    self.assertEqual(product_ids(r.text), [], param)
                r = self.c.get("order_items_list.php", {"m[order_id]": probe})
                self.assertEqual(item_keys(r.text), [])
                for page in ("products_view.php", "products_edit.php", "products_delete.php", "products_copy.php"):
                    r = self.c.get(page, {"key[product_id]": probe})
                    self.assertEqual(r.status, 404, page)
                r = self.c.get("products_blob.php", {"fld": probe, "key[product_id]": "1"})
                self.assertEqual(r.status, 404)
        self.assertEqual({t: DB.value(f"SELECT COUNT(*) FROM {t}") for t in counts}, counts)

    def test_array_and_odd_shaped_parameters(self):
        for query in ("q[]=x", "sort[]=name", "page[]=2", "key=3", "key[product_id][]=3", "s=1", "m=1"):
            with self.subTest(query=query):
                page = "products_view.php" if query.startswith("key") else "products_list.php"
                r = self.c.get(page + "?" + query)
                self.assertIn(r.status, (200, 404))


class ExportTests(unittest.TestCase):
    """Exports hold the whole filtered, sorted set, with the list's permissions."""

    @classmethod
    def setUpClass(cls):
        cls.c = admin()

    def test_csv_holds_all_filtered_rows(self):
        import csv
        import io
        names = DB.column("SELECT name FROM products WHERE LOWER(name) LIKE ? OR LOWER(notes) LIKE ? "
                          "ORDER BY price DESC, product_id", ["%e%", "%e%"])
        self.assertGreater(len(names), 10)
        r = self.c.get("products_list.php", {"q": "e", "sort": "price", "dir": "desc", "export": "csv", "page": 2})
        self.assertTrue(r.headers["Content-Type"].startswith("text/csv"))
        rows = list(csv.reader(io.StringIO(r.body.decode("utf-8-sig"))))
        self.assertEqual(rows[0][:3], ["ID", "Category", "Name"])
        self.assertEqual([row[2] for row in rows[1:]], names)

    def test_an_empty_result_exports_the_headings_only(self):
        for kind, marker in (("csv", None), ("html", "<td>"), ("xml", "<row>")):
            with self.subTest(kind=kind):
                r = self.c.get("products_list.php", {"q": "no such product anywhere", "export": kind})
                self.assertEqual(r.status, 200)
                if marker:
                    self.assertNotIn(marker, r.text)
                else:
                    self.assertEqual(r.body.decode("utf-8-sig").strip().count("\n"), 0)

    def test_other_formats_and_permissions(self):
        n = DB.value("SELECT COUNT(*) FROM orders")
        for kind, ctype, marker in (("html", "text/html", "<tr>"), ("excel", "application/vnd.ms-excel", "<tr>"),
                                    ("word", "application/msword", "<tr>"), ("xml", "application/xml", "<row>")):
            with self.subTest(kind=kind):
                r = self.c.get("orders_list.php", {"export": kind})
                self.assertEqual(r.status, 200)
                self.assertTrue(r.headers["Content-Type"].startswith(ctype))
                self.assertEqual(r.text.count(marker), n + (1 if marker == "<tr>" else 0))
        self.assertEqual(self.c.get("customers_list.php", {"export": "excel"}).status, 404)

    def test_custom_view_without_key_exports_every_row_once(self):
        total = int(re.search(r"of (\d+)", self.c.get("big_orders_list.php").text).group(1))
        with metadata_changed("big_orders", "$m['perm']['export'] = ['csv'];"):
            r = self.c.get("big_orders_list.php", {"export": "csv"})
        rows = list(csv.reader(io.StringIO(r.body.decode("utf-8-sig"))))[1:]
        self.assertGreater(total, 0)
        self.assertEqual(len(rows), total)
        self.assertEqual(len({tuple(x) for x in rows}), total)
        self.assertEqual(Client(URL).get("orders_list.php", {"export": "csv"}).status, 303)


class LookupTests(unittest.TestCase):
    """Lookup captions: shown rows ask only for their own captions; forms offer the whole table."""

    @classmethod
    def setUpClass(cls):
        cls.c = admin()

    def assert_only_captions_of(self, statements, table, values):
        reads = from_table(statements, table)
        self.assertTrue(reads, statements)
        for x in reads:
            self.assertRegex(x, r"WHERE [`\"]\w+[`\"] IN \((\?, )*\?\)$")
        self.assertEqual(sum(x.count("?") for x in reads), len(set(values)))

    def test_list_and_view_pages_read_only_the_shown_captions(self):
        rows = DB.rows("SELECT p.product_id, c.name FROM products p JOIN categories c ON c.category_id = p.category_id "
                       "ORDER BY p.price DESC, p.product_id")[:5]
        with sql_log() as statements:
            r = self.c.get("products_list.php", {"sort": "price", "dir": "desc", "size": 5})
            self.assertEqual(product_ids(r.text), [x["product_id"] for x in rows])
            for x in rows:
                self.assertIn(f"<td>{x['name']}</td>", r.text)
            self.assert_only_captions_of(statements(), "categories", [x["name"] for x in rows])

            item = DB.rows("SELECT i.order_id, i.product_id, p.name FROM order_items i "
                           "JOIN products p ON p.product_id = i.product_id ORDER BY i.order_id, i.product_id")[0]
            r = self.c.get("order_items_view.php", {"key[order_id]": item["order_id"],
                                                    "key[product_id]": item["product_id"]})
            self.assertIn(f"<td>{item['name']}</td>", r.text)
            self.assert_only_captions_of(statements(), "products", [item["name"]])

    def test_forms_offer_every_row_ordered_by_caption(self):
        expected = [(str(x["category_id"]), x["name"]) for x in
                    DB.rows("SELECT category_id, name FROM categories ORDER BY name")]
        for page, query in (("products_add.php", {}), ("products_edit.php", {"key[product_id]": "1"}),
                            ("products_search.php", {})):
            with self.subTest(page=page):
                text = self.c.get(page, query).text
                select = re.search(r'<select id="zt-\w+category_id_"[^>]*>(.*?)</select>', text).group(1)
                options = re.findall(r'<option value="(\d+)"[^>]*>([^<]*)</option>', select)
                self.assertEqual([(v, html.unescape(caption)) for v, caption in options], expected)

    def test_a_value_the_lookup_column_cannot_hold_is_no_choice(self):
        text_field = "$m['fields']['customer_id'] = ['category' => 'string', 'validate' => ''] + $m['fields']['customer_id'];"
        with metadata_changed("orders", text_field):
            path = "orders_edit.php?key%5Border_id%5D=2"
            r = self.c.post(path, [("_csrf", self.c.token(path)), ("f[customer_id]", "nobody")])
        self.assertEqual(r.status, 200)
        self.assertIn("Customer must be one of the offered choices.", r.text)

    def test_export_reads_rows_and_captions_in_batches(self):
        last = DB.value("SELECT MAX(order_id) FROM orders")
        DB.rows("INSERT INTO orders (customer_id, order_date, status) SELECT c.customer_id, o.order_date, o.status "
                "FROM customers c, products p, categories k, orders o WHERE o.order_id = 1")
        try:
            expected = DB.column("SELECT c.name FROM orders o JOIN customers c ON c.customer_id = o.customer_id "
                                 "ORDER BY o.order_id")
            self.assertGreater(len(expected), 1000)
            with sql_log() as statements:
                r = self.c.get("orders_list.php", {"export": "csv", "sort": "order_id"})
                log = statements()
            rows = list(csv.reader(io.StringIO(r.body.decode("utf-8-sig"))))
            self.assertEqual([x[1] for x in rows[1:]], expected)
            batches = [x for x in from_table(log, "orders") if x.startswith("SELECT") and " LIMIT " in x]
            self.assertEqual(len(batches), len(expected) // 500 + 1)
            reads = from_table(log, "customers")
            self.assertEqual(len(reads), len(batches))
            self.assertTrue(all(" IN (" in x for x in reads), reads)
        finally:
            DB.rows("DELETE FROM orders WHERE order_id > ?", [last])


UPLOADS = os.path.join(os.path.dirname(os.path.abspath(APP)), "uploads")


def stored_files():
    return set(os.listdir(UPLOADS))


def stored_content(name):
    with open(os.path.join(UPLOADS, name), "rb") as f:
        return f.read()


def product_form(pid, **changes):
    """The form fields of a product as they are stored, with some changed."""
    row = DB.rows("SELECT category_id, name, price, stock FROM products WHERE product_id = ?", [pid])[0]
    values = dict(row, active="1", **changes)
    return [(f"f[{k}]", str(v)) for k, v in values.items()]


class FileTests(unittest.TestCase):
    """Blob columns and stored files through copy, replace, clear and delete, checked in the database and on disk."""

    @classmethod
    def setUpClass(cls):
        cls.c = admin()

    def form(self, page, key, fields, files=None):
        path = f"{page}?key%5Bproduct_id%5D={key}" if key is not None else page
        return self.c.post(path, [("_csrf", self.c.token("login.php"))] + fields, files)

    def files_of(self, pid):
        return DB.rows("SELECT image, sheet FROM products WHERE product_id = ?", [pid])[0]

    def give_sheet(self, pid, content):
        r = self.form("products_edit.php", pid, product_form(pid), {"f[sheet]": ("sheet.txt", content)})
        self.assertEqual(r.status, 303, r.text)
        return self.files_of(pid)["sheet"]

    def copy(self, pid, fields=(), files=None):
        r = self.form("products_copy.php", pid, product_form(pid, name="Copy") + list(fields), files)
        self.assertEqual(r.status, 303, r.text)
        return DB.value("SELECT MAX(product_id) FROM products")

    def test_copy_carries_blob_and_stored_file_unless_replaced_or_cleared(self):
        sheet = self.give_sheet(3, b"Mint tea sheet\n")
        self.assertIn('name="clear[sheet]"', self.c.get("products_copy.php", {"key[product_id]": "3"}).text)
        carried = self.copy(3)
        source, copy = self.files_of(3), self.files_of(carried)
        self.assertEqual(copy["image"], source["image"])
        self.assertNotIn(copy["sheet"], (sheet, None))
        self.assertEqual(stored_content(copy["sheet"]), b"Mint tea sheet\n")

        replaced = self.copy(3, files={"f[image]": ("pic.png", PNG_1x1), "f[sheet]": ("new.txt", b"Other sheet\n")})
        self.assertEqual(self.files_of(replaced)["image"], PNG_1x1.hex())
        self.assertEqual(stored_content(self.files_of(replaced)["sheet"]), b"Other sheet\n")

        cleared = self.copy(3, [("clear[image]", "1"), ("clear[sheet]", "1")])
        self.assertEqual(self.files_of(cleared), {"image": None, "sheet": None})

        r = self.form("products_delete.php", None, [("confirm", "1"), ("key[product_id]", str(carried))])
        self.assertEqual(r.status, 303)
        self.assertNotIn(copy["sheet"], stored_files())
        self.assertEqual(stored_content(sheet), b"Mint tea sheet\n")

    def test_replace_and_clear_remove_the_old_file_only_after_the_change(self):
        first = self.give_sheet(22, b"First\n")
        refused = self.form("products_edit.php", 22, product_form(22, price="cheap"),
                            {"f[sheet]": ("second.txt", b"Second\n")})
        self.assertEqual(refused.status, 200)
        self.assertEqual(self.files_of(22)["sheet"], first)
        self.assertIn(first, stored_files())
        files = stored_files()

        second = self.give_sheet(22, b"Second\n")
        self.assertEqual(stored_files(), files - {first} | {second})
        self.assertEqual(stored_content(second), b"Second\n")

        r = self.form("products_edit.php", 22, product_form(22) + [("clear[sheet]", "1")])
        self.assertEqual(r.status, 303)
        self.assertIsNone(self.files_of(22)["sheet"])
        self.assertEqual(stored_files(), files - {first})

    def test_delete_removes_stored_files_unless_the_database_refuses(self):
        referenced = DB.value("SELECT MIN(product_id) FROM order_items")
        kept = self.give_sheet(referenced, b"Still sold\n")
        r = self.form("products_delete.php", None, [("confirm", "1"), ("key[product_id]", str(referenced))])
        self.assertIn("refused", self.c.follow(r).text)
        self.assertEqual(stored_content(kept), b"Still sold\n")

        sheet = self.give_sheet(24, b"Set sheet\n")
        copies = [self.copy(24), self.copy(24)]
        names = {self.files_of(x)["sheet"] for x in copies}
        self.assertEqual(len(names - {sheet}), 2)
        self.form("products_delete.php", None, [("confirm", "1"), ("key[product_id]", str(copies[0]))])
        self.form("products_delete.php", None, [("confirm", "1"), ("keys[]", f"key[product_id]={copies[1]}")])
        self.assertEqual(DB.value(f"SELECT COUNT(*) FROM products WHERE product_id IN ({copies[0]}, {copies[1]})"), 0)
        self.assertEqual(stored_files() & names, set())
        self.assertIn(sheet, stored_files())


def input_value(page, name):
    m = re.search(r'<input [^>]*name="' + re.escape(name) + r'"[^>]*value="([^"]*)"', page)
    return html.unescape(m.group(1)) if m else None


class DateTests(unittest.TestCase):
    """Dates and times in forms: shown in the field's format, read back in it or in ISO, impossible ones refused."""

    @classmethod
    def setUpClass(cls):
        cls.c = admin()

    def edit_order(self, order_id, **changes):
        row = DB.rows("SELECT customer_id, order_date, order_time, status FROM orders WHERE order_id = ?", [order_id])[0]
        values = dict(row, **changes)
        fields = [(f"f[{k}]", "" if v is None else str(v)) for k, v in values.items()]
        path = f"orders_edit.php?key%5Border_id%5D={order_id}"
        return self.c.post(path, [("_csrf", self.c.token("login.php"))] + fields)

    def stored(self, order_id):
        row = DB.rows("SELECT order_date, order_time FROM orders WHERE order_id = ?", [order_id])[0]
        return str(row["order_date"])[:10], str(row["order_time"])

    def test_date_time_shown_in_its_format_and_stored_in_iso(self):
        form = self.c.get("customers_edit.php", {"key[customer_id]": "1"}).text
        self.assertEqual(input_value(form, "f[joined_at]"), "2023/01/01 08:00:00")
        path = "customers_edit.php?key%5Bcustomer_id%5D=2"
        fields = [("_csrf", self.c.token(path)), ("f[name]", "Alan Turing"), ("f[email]", "alan@example.com"),
                  ("f[city]", "Manchester")]
        for typed, stored in (("2024/03/05 09:15", "2024-03-05 09:15:00"), ("2024/03/07", "2024-03-07 00:00:00")):
            with self.subTest(typed=typed):
                r = self.c.post(path, fields + [("f[joined_at]", typed)])
                self.assertEqual(r.status, 303, r.text)
                self.assertEqual(str(DB.value("SELECT joined_at FROM customers WHERE customer_id = 2")), stored)
        r = self.c.post(path, fields + [("f[joined_at]", "2024/02/30 10:00")])
        self.assertIn("Joined must be a date and time (YYYY/MM/DD HH:MM).", r.text)
        self.assertEqual(str(DB.value("SELECT joined_at FROM customers WHERE customer_id = 2")), "2024-03-07 00:00:00")
        listed = self.c.get("customers_list.php", {"q": "Alan"}).text
        self.assertIn("<td>2024/03/07 00:00:00</td>", listed)

    def test_day_first_dates_in_form_search_and_refusals(self):
        with metadata_changed("orders", "$m['fields']['order_date']['format'] = ['kind' => 'date', 'date' => 'd/m/Y'];"):
            form = self.c.get("orders_edit.php", {"key[order_id]": "4"}).text
            self.assertEqual(input_value(form, "f[order_date]"), "09/08/2024")
            before = snapshot("orders", "order_id")
            for typed in ("31/04/2026", "2026-02-30", "29/02/2025", "30/4/26", "4/30/2026"):
                with self.subTest(typed=typed):
                    r = self.edit_order(4, order_date=typed)
                    self.assertEqual(r.status, 200)
                    self.assertIn("Date must be a date (DD/MM/YYYY).", r.text)
            r = self.edit_order(4, order_time="24:00")
            self.assertIn("Time must be a time", r.text)
            self.assertEqual(snapshot("orders", "order_id"), before)

            for typed, stored in (("30/04/2026", "2026-04-30"), ("2026-05-01", "2026-05-01"), ("29/02/2028", "2028-02-29")):
                with self.subTest(typed=typed):
                    self.assertEqual(self.edit_order(4, order_date=typed, order_time="9:05").status, 303)
                    self.assertEqual(self.stored(4), (stored, "09:05:00"))
            found = self.c.get("orders_list.php", {"s[order_date]": "29/02/2028", "s2[order_date]": "29/02/2028"}).text
            self.assertEqual(re.findall(r'orders_view\.php\?key%5Border_id%5D=(\d+)[&"]', found), ["4"])


from test_rights import (RightsMatrixTests, OwnRecordTests, PasswordColumnTests,  # noqa: E402,F401
                         AccountTests, LoginDefenceTests)


if __name__ == "__main__":
    sys.exit(run_tests(sys.modules[__name__]))
