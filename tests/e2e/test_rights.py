"""End-to-end tests of users and rights: the status of every page kind of
every table for each demo level, own records, the account pages with their
mail (through a real SMTP server on loopback), and the login and session
defences. Imported by test_app.py, which runs them with its own tests."""
import concurrent.futures
import csv
import io
import json
import os
import re
import shutil
import statistics
import subprocess
import time
import unittest

from http_client import Client, Database
from smtp_sink import SmtpSink

URL = os.environ.get("E2E_URL", "http://127.0.0.1:8080")
APP = os.environ.get("E2E_APP", ".")
DB = Database(APP)
E2E = os.path.dirname(os.path.abspath(__file__))

# The demo's logins: the fixed administrator and one table user per level.
USERS = {
    "fixed": ("admin", "admin-secret"),
    "admin": ("donald@example.com", "donald-secret"),
    "staff": ("barbara@example.com", "staff-secret"),
    "customer": ("ada@example.com", "ada-secret"),
}
RIGHT_LETTERS = dict(zip("lvsaecdxg", ["list", "view", "search", "add", "edit", "copy", "delete", "export", "global"]))


def app_pages():
    """The application's table pages and configuration, from its own metadata."""
    out = subprocess.run(["php", os.path.join(E2E, "pages.php"), APP], check=True, capture_output=True, text=True)
    return json.loads(out.stdout)


def rights_of(text, level):
    """The rights a level has in a rights text ("admin:*,staff:lvsaecx"), read independently of the runtime."""
    levels = {}
    for entry in filter(None, (e.strip() for e in text.split(","))):
        name, letters = entry.split(":")
        levels[name.lstrip("+")] = set(RIGHT_LETTERS.values()) if letters == "*" else {RIGHT_LETTERS[c] for c in letters}
    return levels.get(level, levels.get("*", set()))


def php_hash(password):
    return subprocess.run(["php", "-r", "echo password_hash($argv[1], PASSWORD_DEFAULT);", password],
                          check=True, capture_output=True, text=True).stdout


def logged_in(who):
    c = Client(URL)
    r = c.login(*USERS[who])
    assert r.status == 303, f"{who} could not log in: {r.status} {r.text[:300]}"
    return c


def set_password(email, password):
    DB.rows("UPDATE customers SET password = ? WHERE email = ?", [php_hash(password), email])


def local_config(entries):
    from test_app import local_config as change
    return change(entries)


class RightsMatrixTests(unittest.TestCase):
    """Every page kind of every table answers each level as its rights say."""

    @classmethod
    def setUpClass(cls):
        cls.info = app_pages()
        cls.clients = {who: logged_in(who) for who in USERS}
        cls.clients[None] = Client(URL)

    def level(self, who):
        if who == "fixed":
            return None
        return DB.value("SELECT level FROM customers WHERE email = ?", [USERS[who][0]])

    def rights(self, who, t):
        if who == "fixed":
            return set(RIGHT_LETTERS.values())
        return rights_of(self.info["rights"].get(t["name"], ""), self.level(who))

    def reachable_key(self, t, who, rights, where=""):
        """The key of a row of the table this client may reach (its own when it lacks 'global')."""
        cols = ", ".join(t["key"])
        o = t["owner"]
        params = []
        if o and who not in ("fixed", None) and "global" not in rights:
            uid = DB.value("SELECT customer_id FROM customers WHERE email = ?", [USERS[who][0]])
            if "table" in o:
                (detail, master), = o["link"].items()
                where += f" AND {detail} IN (SELECT {master} FROM {o['table']} WHERE {o['field']} = ?)"
            else:
                where += f" AND {o['field']} = ?"
            params.append(uid)
        rows = DB.rows(f"SELECT {cols} FROM {t['table']} WHERE 1=1 {where} ORDER BY {cols}", params)
        return {f"key[{k}]": str(v) for k, v in rows[0].items()} if rows else None

    def probes(self, t, who, rights):
        """(what, request function, rights it needs) for every page kind the table has."""
        p = t["pages"]
        c = self.clients[who]
        out = []
        if "list" in p:
            out.append(("list", lambda: c.get(p["list"]), {"list"}))
            out.append(("basic search", lambda: c.get(p["list"], {"q": "a"}), {"list", "search"}))
            if t["perm"]["export"]:
                kind = t["perm"]["export"][0]
                out.append(("export", lambda kind=kind: c.get(p["list"], {"export": kind}), {"list", "export"}))
        if "search" in p and t["perm"]["search"]:
            out.append(("search", lambda: c.get(p["search"]), {"search"}))
        if "report" in p and t["kind"] == "report":
            out.append(("report", lambda: c.get(p["report"]), {"list"}))
        if "add" in p and t["perm"]["add"]:
            out.append(("add", lambda: c.get(p["add"]), {"add"}))
        key = self.reachable_key(t, who, rights) if t["key"] else None
        if key is None:
            return out
        for kind in ("view", "edit", "copy", "delete"):
            if kind in p and t["perm"][kind]:
                out.append((kind, lambda kind=kind: c.get(p[kind], key), {kind}))
        if "delete" in p and t["perm"]["multi_delete"]:
            encoded = "&".join(f"{k}={v}" for k, v in key.items())
            out.append(("multi-delete", lambda: c.post(p["delete"], [("_csrf", c.token("login.php")), ("keys[]", encoded)]),
                        {"delete"}))
        for field in t["files"]:
            if "blob" not in p:
                continue
            fkey = self.reachable_key(t, who, rights, f" AND {field} IS NOT NULL")
            if fkey:
                out.append((f"blob {field}", lambda fkey=fkey, field=field: c.get(p["blob"], {"fld": field, **fkey}),
                            {"view"}))
        return out

    def test_every_page_kind_of_every_table_for_each_level(self):
        checked = 0
        for who in list(USERS) + [None]:
            for t in self.info["tables"]:
                rights = self.rights(who, t) if who else set()
                for what, request, needs in self.probes(t, who, rights):
                    with self.subTest(level=who, table=t["name"], page=what):
                        r = request()
                        if who is None:
                            self.assertEqual(r.status, 303)
                            self.assertTrue(r.location.startswith("login.php"), r.location)
                            continue
                        allowed = needs <= rights or (what.startswith("blob") and "list" in rights)
                        self.assertEqual(r.status, 200 if allowed else 403, r.text[:200])
                        checked += 1
        self.assertGreater(checked, 100)

    def test_menu_shows_only_the_tables_a_level_may_list(self):
        for who in USERS:
            page = self.clients[who].get("index.php").text
            for item in self.info["menu"]:
                listed = f'href="{item["page"]}"' in page
                t = next((x for x in self.info["tables"] if x["name"] == item.get("table")), None)
                with self.subTest(level=who, page=item["page"]):
                    self.assertEqual(listed, t is None or "list" in self.rights(who, t))

    def test_links_and_buttons_follow_the_rights(self):
        staff = self.clients["staff"].get("categories_list.php").text
        self.assertIn("categories_edit.php", staff)
        self.assertNotIn("categories_delete.php", staff)
        customer = self.clients["customer"].get("products_list.php").text
        for page in ("products_add.php", "products_edit.php", "products_copy.php", "products_delete.php"):
            self.assertNotIn(page, customer)
        self.assertIn("products_view.php", customer)


    def test_search_parameters_count_only_with_the_search_permission(self):
        from test_app import metadata_changed
        c = self.clients["fixed"]
        every = DB.value("SELECT COUNT(*) FROM categories")
        rows = lambda page: len(re.findall(r'categories_view\.php\?key', page))  # noqa: E731
        self.assertEqual(rows(c.get("categories_list.php", {"s[name]": "Tea"}).text), 1)
        with metadata_changed("categories", "$m['perm']['search'] = false;"):
            self.assertEqual(rows(c.get("categories_list.php", {"s[name]": "Tea"}).text), every)
        with local_config("'rights' => ['categories' => 'staff:lv'],"):
            self.assertEqual(self.clients["staff"].get("categories_list.php", {"s[name]": "Tea"}).status, 403)
            self.assertEqual(self.clients["staff"].get("categories_list.php").status, 200)


class OwnRecordTests(unittest.TestCase):
    """A customer reaches only its own orders and their items, on every page kind, even with every right but 'g'."""

    def setUp(self):
        self.rights = local_config("'rights' => ['orders' => 'admin:*,customer:lvsaecdx', "
                                   "'order_items' => 'admin:*,customer:lvsaecdx'],")
        self.rights.__enter__()
        self.addCleanup(self.rights.__exit__, None, None, None)
        self.c = logged_in("customer")
        self.uid = DB.value("SELECT customer_id FROM customers WHERE email = ?", [USERS["customer"][0]])
        self.other = DB.value("SELECT MIN(order_id) FROM orders WHERE customer_id <> ?", [self.uid])
        self.item = DB.rows("SELECT order_id, product_id FROM order_items WHERE order_id = ?", [self.other])[0]

    def test_lists_and_exports_hold_only_own_rows(self):
        mine = {str(x) for x in DB.column("SELECT order_id FROM orders WHERE customer_id = ?", [self.uid])}
        listed = set(re.findall(r'orders_view\.php\?key%5Border_id%5D=(\d+)[&"]', self.c.get("orders_list.php").text))
        self.assertEqual(listed, mine)
        exported = list(csv.reader(io.StringIO(self.c.get("orders_list.php", {"export": "csv"}).text)))[1:]
        self.assertEqual({row[0] for row in exported}, mine)
        found = self.c.get("orders_list.php", {"export": "csv", "s[order_id]": str(self.other)}).text
        self.assertEqual(len(list(csv.reader(io.StringIO(found)))), 1)  # the headings only
        items = self.c.get("order_items_list.php", {"m[order_id]": str(self.other)}).text
        self.assertNotIn("order_items_view.php", items)

    def test_another_users_key_gives_404_on_every_page_kind(self):
        order = {"key[order_id]": str(self.other)}
        item = {f"key[{k}]": str(v) for k, v in self.item.items()}
        for page, key in (("orders_view.php", order), ("orders_edit.php", order), ("orders_copy.php", order),
                          ("orders_delete.php", order), ("order_items_view.php", item), ("order_items_edit.php", item),
                          ("order_items_copy.php", item), ("order_items_delete.php", item)):
            with self.subTest(page=page):
                self.assertEqual(self.c.get(page, key).status, 404)
        before = DB.rows("SELECT * FROM orders WHERE order_id = ?", [self.other])
        token = self.c.token("orders_add.php")
        edit = self.c.post(f"orders_edit.php?key%5Border_id%5D={self.other}", [("_csrf", token), ("f[note]", "mine now")])
        self.assertEqual(edit.status, 404)
        gone = self.c.post("orders_delete.php", [("_csrf", token), ("confirm", "1"), ("key[order_id]", str(self.other))])
        self.assertEqual(gone.status, 404)
        many = self.c.post("order_items_delete.php", [("_csrf", token), ("confirm", "1"), ("multi", "1"),
                                                      ("keys[]", f"key[order_id]={self.item['order_id']}&key[product_id]={self.item['product_id']}")])
        self.assertEqual(many.status, 404)
        self.assertEqual(DB.rows("SELECT * FROM orders WHERE order_id = ?", [self.other]), before)
        self.assertEqual(len(DB.rows("SELECT * FROM order_items WHERE order_id = ? AND product_id = ?",
                                     [self.item["order_id"], self.item["product_id"]])), 1)
        into = self.c.post("order_items_add.php", [("_csrf", token), ("f[order_id]", str(self.other)),
                                                   ("f[product_id]", "3"), ("f[quantity]", "1"), ("f[unit_price]", "1")])
        self.assertEqual(into.status, 404)
        self.assertEqual(DB.value("SELECT COUNT(*) FROM order_items WHERE order_id = ? AND product_id = 3", [self.other]), 0)

    def test_a_posted_owner_is_ignored_on_insert(self):
        token = self.c.token("orders_add.php")
        r = self.c.post("orders_add.php", [("_csrf", token), ("f[customer_id]", "2"), ("f[order_date]", "2026-01-02"),
                                           ("f[status]", "new"), ("f[note]", "posted owner")])
        self.assertEqual(r.status, 303, r.text[:300])
        self.assertEqual(DB.column("SELECT customer_id FROM orders WHERE note = 'posted owner'"), [self.uid])
        self.assertNotIn('name="f[customer_id]"', self.c.get("orders_add.php").text)
        # nor may she search by it: its control would list every customer
        self.assertNotIn("Donald Knuth", self.c.get("orders_search.php").text)

    def test_the_level_field_is_the_administrators_alone(self):
        donald = logged_in("admin")
        token = donald.token("customers_add.php")
        r = donald.post("customers_edit.php?key%5Bcustomer_id%5D=1", [("_csrf", token), ("f[level]", "admin"),
                                                                      ("f[city]", "Paris")])
        self.assertEqual(r.status, 303, r.text[:300])
        self.assertEqual(DB.rows("SELECT level, city FROM customers WHERE customer_id = 1"),
                         [{"level": "customer", "city": "Paris"}])
        fixed = logged_in("fixed")
        fixed.post("customers_edit.php?key%5Bcustomer_id%5D=1", [("_csrf", fixed.token("customers_add.php")),
                                                                 ("f[level]", "staff"), ("f[city]", "London")])
        self.assertEqual(DB.value("SELECT level FROM customers WHERE customer_id = 1"), "staff")
        DB.rows("UPDATE customers SET level = 'customer' WHERE customer_id = 1")


class PasswordColumnTests(unittest.TestCase):
    """The login table's password column is never shown, searched, sorted on or exported."""

    def test_never_shown_whatever_the_metadata_says(self):
        from test_app import metadata_changed
        change = ("$m['fields']['password'] = ['caption' => 'Secret', 'category' => 'string', 'list' => true, "
                  "'view' => true, 'search' => true, 'basic_search' => true];")
        with metadata_changed("customers", change):
            c = logged_in("fixed")
            stored = DB.value("SELECT password FROM customers WHERE customer_id = 1")
            every = DB.value("SELECT COUNT(*) FROM customers")
            for page, query in (("customers_list.php", {}), ("customers_view.php", {"key[customer_id]": "1"}),
                                ("customers_list.php", {"export": "csv"}), ("customers_list.php", {"export": "xml"}),
                                ("customers_search.php", {})):
                with self.subTest(page=page, query=query):
                    text = c.get(page, query).text
                    self.assertNotIn("Secret", text)
                    self.assertNotIn(stored[:20], text)
            found = c.get("customers_list.php", {"s[password]": stored, "q": stored[:10], "sort": "password",
                                                 "size": "50"}).text
            self.assertEqual(len(set(re.findall(r'customers_view\.php\?key%5Bcustomer_id%5D=(\d+)', found))), 0)
            listed = c.get("customers_list.php", {"s[password]": stored, "size": "50"}).text
            self.assertEqual(len(set(re.findall(r'customers_view\.php\?key%5Bcustomer_id%5D=(\d+)', listed))),
                             min(every, 50))


class AccountTests(unittest.TestCase):
    """Registration, confirmation, password reset and change of address, with their mail."""

    @classmethod
    def setUpClass(cls):
        cls.sink = SmtpSink().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.sink.__exit__(None, None, None)

    def setUp(self):
        self.mail_config()

    def tearDown(self):
        # The other tests count the customers.
        DB.rows("DELETE FROM customers WHERE email IN ('reg-one@example.com', 'reset-one@example.com', "
                "'reset-two@example.com', 'move-one@example.com', 'moved-one@example.com', 'change-one@example.com')")

    def mail_config(self, extra=""):
        """Sends the application's mail to the sink for the rest of the test."""
        config = local_config(f"'account' => ['smtp_host' => '127.0.0.1', 'smtp_port' => {self.sink.port}{extra}],")
        config.__enter__()
        self.addCleanup(config.__exit__, None, None, None)

    def register(self, email, password, **extra):
        c = Client(URL)
        fields = [("_csrf", c.token("register.php")), ("f[name]", "New " + email.split("@")[0]), ("f[email]", email),
                  ("f[city]", "Oslo"), ("password", password), ("password2", extra.pop("again", password))]
        fields += [(f"f[{k}]", v) for k, v in extra.items()]
        return c.post("register.php", fields)

    def test_registration_confirmed_by_mail(self):
        email = "reg-one@example.com"
        refused = self.register(email, "long-enough-1", again="other-one-2")
        self.assertIn("differ", refused.text)
        self.assertEqual(self.sink.count(email), 0)
        r = self.register(email, "long-enough-1", level="admin", customer_id="999")
        self.assertEqual(r.status, 200, r.text[:300])
        self.assertIn("confirm your registration", r.text)
        self.assertEqual(DB.value("SELECT COUNT(*) FROM customers WHERE email = ?", [email]), 0)
        link = self.sink.link(self.sink.wait_for(email), "confirm.php")
        self.assertEqual(Client(URL).get(link).status, 200)
        row = DB.rows("SELECT customer_id, level, password FROM customers WHERE email = ?", [email])[0]
        self.assertEqual(row["level"], "customer")
        self.assertNotEqual(row["customer_id"], 999)
        self.assertTrue(row["password"].startswith("$2y$"))
        self.assertEqual(Client(URL).get(link).status, 404)  # used once
        self.assertEqual(Client(URL).login(email, "long-enough-1").status, 303)
        again = self.register(email, "long-enough-1")
        self.assertIn("already exists", again.text)

    def test_password_reset_by_mail_link(self):
        email = "reset-one@example.com"
        DB.rows("INSERT INTO customers (name, email, password, level) VALUES ('Reset One', ?, ?, 'customer')",
                [email, php_hash("old-password")])
        c = Client(URL)
        known = c.post("forgot_password.php", [("_csrf", c.token("forgot_password.php")), ("email", email)])
        unknown = c.post("forgot_password.php", [("_csrf", c.token("forgot_password.php")),
                                                 ("email", "nobody-here@example.com")])
        self.assertEqual((known.status, known.text), (unknown.status, unknown.text))
        link = self.sink.link(self.sink.wait_for(email), "reset_password.php")
        self.assertEqual(self.sink.count("nobody-here@example.com"), 0)
        page = c.get(link)
        self.assertEqual(page.status, 200)
        token = link.split("token=")[1]
        r = c.post("reset_password.php", [("_csrf", c.token(link)), ("token", token), ("password", "new-password-1"),
                                          ("password2", "new-password-1")])
        self.assertEqual(r.status, 303, r.text[:300])
        self.assertEqual(Client(URL).login(email, "old-password").status, 200)
        self.assertEqual(Client(URL).login(email, "new-password-1").status, 303)
        reused = c.post("reset_password.php", [("_csrf", c.token("login.php")), ("token", token),
                                               ("password", "third-password"), ("password2", "third-password")])
        self.assertEqual(reused.status, 404)
        self.assertEqual(c.get(link).status, 404)

    def test_an_expired_reset_link_is_refused(self):
        email = "reset-two@example.com"
        DB.rows("INSERT INTO customers (name, email, password, level) VALUES ('Reset Two', ?, ?, 'customer')",
                [email, php_hash("old-password")])
        self.mail_config(", 'token_seconds' => 1")
        c = Client(URL)
        c.post("forgot_password.php", [("_csrf", c.token("forgot_password.php")), ("email", email)])
        link = self.sink.link(self.sink.wait_for(email), "reset_password.php")
        time.sleep(2.2)
        self.assertEqual(c.get(link).status, 404)

    def test_change_of_email_confirmed_by_mail(self):
        old, new = "move-one@example.com", "moved-one@example.com"
        DB.rows("INSERT INTO customers (name, email, password, level) VALUES ('Move One', ?, ?, 'customer')",
                [old, php_hash("move-password")])
        c = Client(URL)
        self.assertEqual(c.login(old, "move-password").status, 303)
        wrong = c.post("change_email.php", [("_csrf", c.token("change_email.php")), ("email", new), ("current", "nope")])
        self.assertIn("wrong", wrong.text)
        r = c.post("change_email.php", [("_csrf", c.token("change_email.php")), ("email", new),
                                        ("current", "move-password")])
        self.assertEqual(r.status, 200)
        self.assertEqual(DB.value("SELECT COUNT(*) FROM customers WHERE email = ?", [old]), 1)
        link = self.sink.link(self.sink.wait_for(new), "confirm.php")
        self.assertEqual(c.get(link).status, 200)
        self.assertEqual(DB.value("SELECT COUNT(*) FROM customers WHERE email = ?", [new]), 1)
        self.assertEqual(c.get("orders_list.php").status, 200)  # the session follows the new login ID
        self.assertEqual(Client(URL).login(new, "move-password").status, 303)

    def test_change_of_password_renews_the_session_and_ends_the_others(self):
        email = "change-one@example.com"
        DB.rows("INSERT INTO customers (name, email, password, level) VALUES ('Change One', ?, ?, 'customer')",
                [email, php_hash("first-password")])
        a, b = Client(URL), Client(URL)
        self.assertEqual(a.login(email, "first-password").status, 303)
        self.assertEqual(b.login(email, "first-password").status, 303)
        wrong = a.post("change_password.php", [("_csrf", a.token("change_password.php")), ("current", "guess"),
                                               ("password", "second-password"), ("password2", "second-password")])
        self.assertEqual(wrong.status, 200)
        before = a.session()
        r = a.post("change_password.php", [("_csrf", a.token("change_password.php")), ("current", "first-password"),
                                           ("password", "second-password"), ("password2", "second-password")])
        self.assertEqual(r.status, 303, r.text[:300])
        self.assertNotEqual(a.session(), before)
        self.assertEqual(a.get("orders_list.php").status, 200)
        self.assertEqual(b.get("orders_list.php").status, 303)
        self.assertEqual(Client(URL).login(email, "second-password").status, 303)


class LoginDefenceTests(unittest.TestCase):
    """Lock-out under parallel attempts and ID variants, rate limits, timing, bound sessions."""

    def test_parallel_wrong_attempts_check_at_most_the_allowed_number(self):
        set_password("john@example.com", "john-secret")
        clients = [Client(URL) for _ in range(20)]
        tokens = [c.token("login.php") for c in clients]

        def attempt(i):
            return clients[i].post("login.php", [("_csrf", tokens[i]), ("login", "john@example.com"),
                                                 ("password", f"wrong-{i}"), ("return", "index.php")]).text
        with concurrent.futures.ThreadPoolExecutor(20) as pool:
            answers = list(pool.map(attempt, range(20)))
        checked = sum("wrong" in a for a in answers) + 1  # the attempt that locked said "Too many"
        self.assertLessEqual(checked, 5)
        self.assertEqual(sum("Too many failed attempts" in a for a in answers), 20 - checked + 1)
        r = Client(URL).login("john@example.com", "john-secret")
        self.assertEqual(r.status, 200)
        self.assertIn("Too many failed attempts", r.text)

    def test_an_accented_variant_of_a_locked_id_is_refused(self):
        set_password("frances@example.com", "frances-secret")
        for _ in range(5):
            Client(URL).login("frances@example.com", "guess")
        r = Client(URL).login("francés@example.com", "frances-secret")
        self.assertEqual(r.status, 200)
        self.assertEqual(Client(URL).login("FRANCES@example.com", "frances-secret").status, 200)

    def test_failed_logins_per_client_are_limited(self):
        set_password("ken@example.com", "ken-secret")
        with local_config("'login_rate' => ['client' => 0, 'global' => 1000, 'seconds' => 300],"):
            r = Client(URL).login("ken@example.com", "ken-secret")
            self.assertEqual(r.status, 200)
            self.assertIn("Too many failed logins from here", r.text)
        self.assertEqual(Client(URL).login("ken@example.com", "ken-secret").status, 303)

    def test_login_time_does_not_depend_on_whether_the_user_exists(self):
        set_password("margaret@example.com", "margaret-secret")
        with local_config("'lockout' => ['attempts' => 1000, 'seconds' => 60],"):
            times = {"known": [], "unknown": []}
            for i in range(9):
                for kind, login in (("known", "margaret@example.com"), ("unknown", f"nobody-{i}@example.com")):
                    c = Client(URL)
                    token = c.token("login.php")
                    start = time.perf_counter()
                    c.post("login.php", [("_csrf", token), ("login", login), ("password", "wrong")])
                    times[kind].append(time.perf_counter() - start)
        self.assertEqual(Client(URL).login("margaret@example.com", "margaret-secret").status, 303)
        ratio = statistics.median(times["known"]) / statistics.median(times["unknown"])
        self.assertTrue(0.5 < ratio < 2, f"known/unknown median ratio {ratio:.2f}")

    def test_a_deleted_users_session_is_refused(self):
        DB.rows("INSERT INTO customers (name, email, password, level) VALUES ('Gone Soon', 'gone-soon@example.com', ?, "
                "'customer')", [php_hash("gone-password")])
        c = Client(URL)
        self.assertEqual(c.login("gone-soon@example.com", "gone-password").status, 303)
        self.assertEqual(c.get("orders_list.php").status, 200)
        DB.rows("DELETE FROM customers WHERE email = 'gone-soon@example.com'")
        self.assertEqual(c.get("orders_list.php").status, 303)

    def test_a_plain_stored_password_is_rehashed_on_login(self):
        DB.rows("UPDATE customers SET password = 'plain-niklaus' WHERE email = 'niklaus@example.com'")
        self.assertEqual(Client(URL).login("niklaus@example.com", "plain-niklaus").status, 303)
        stored = DB.value("SELECT password FROM customers WHERE email = 'niklaus@example.com'")
        self.assertTrue(stored.startswith("$2y$"), stored)
        self.assertEqual(Client(URL).login("niklaus@example.com", "plain-niklaus").status, 303)

    def test_a_second_application_refuses_the_first_ones_session(self):
        info = app_pages()
        second = os.path.join(APP, "second")
        shutil.copytree(APP, second, ignore=shutil.ignore_patterns("second", "zt-state"))

        def configure(extra):
            with open(os.path.join(second, "config.local.php"), "w", encoding="utf-8") as f:
                f.write(f"<?php return array_replace(require __DIR__ . '/../config.local.php', "
                        f"['state_dir' => {second + '/state'!r}, {extra}]);\n")
        try:
            configure("")
            c = logged_in("fixed")
            name, value = next((k.name, k.value) for k in c.jar if k.name.startswith("ZT"))
            own = Client(URL).get("second/index.php")
            self.assertEqual(own.status, 303)
            self.assertNotIn(name + "=", own.headers.get("Set-Cookie", ""))  # its own session name
            self.assertIn("path=/second/", own.headers.get("Set-Cookie", ""))
            stolen = Client(URL).request("second/index.php", headers={"Cookie": f"{name}={value}"})
            self.assertEqual(stolen.status, 303)
            # Even with the same session name and folder, the application id tells them apart.
            configure(f"'session_name' => {name!r}, 'session_dir' => {info['state_dir'] + '/sessions'!r}")
            shared = Client(URL).request("second/index.php", headers={"Cookie": f"{name}={value}"})
            self.assertEqual(shared.status, 303)
            self.assertEqual(c.get("index.php").status, 200)
        finally:
            shutil.rmtree(second)

    def test_behind_a_tls_proxy_cookies_are_secure_and_hsts_is_sent(self):
        self.assertIsNone(Client(URL).get("login.php").headers.get("Strict-Transport-Security"))
        with local_config("'tls_proxy' => true,"):
            r = Client(URL).get("login.php")
            self.assertIn("max-age=", r.headers.get("Strict-Transport-Security", ""))
            self.assertIn("secure", r.headers.get("Set-Cookie", "").lower())
