"""A small HTTP client for the end-to-end tests: cookies, no automatic
redirects, CSRF tokens and multipart forms, on the standard library only."""
import html.parser
import http.cookiejar
import sys
import unittest
import json
import os
import re
import subprocess
import urllib.error
import urllib.parse
import urllib.request
import uuid


class NoRedirect(urllib.request.HTTPRedirectHandler):
    def redirect_request(self, req, fp, code, msg, headers, newurl):
        return None


class Response:
    def __init__(self, status, headers, body):
        self.status = status
        self.headers = headers
        self.body = body

    @property
    def text(self):
        return self.body.decode("utf-8", "replace")

    @property
    def location(self):
        return self.headers.get("Location", "")


class Client:
    def __init__(self, base):
        self.base = base.rstrip("/") + "/"
        self.jar = http.cookiejar.CookieJar()
        self.opener = urllib.request.build_opener(
            urllib.request.HTTPCookieProcessor(self.jar), NoRedirect())

    def request(self, path, data=None, headers=None):
        req = urllib.request.Request(self.base + path, data=data, headers=headers or {})
        try:
            with self.opener.open(req, timeout=60) as r:
                return Response(r.status, r.headers, r.read())
        except urllib.error.HTTPError as e:
            return Response(e.code, e.headers, e.read())

    def get(self, path, query=None):
        if query:
            path += ("&" if "?" in path else "?") + urllib.parse.urlencode(query, doseq=True)
        return self.request(path)

    def post(self, path, fields, files=None):
        """fields: a list of (name, value) pairs; files: name -> (filename, bytes)."""
        if not files:
            data = urllib.parse.urlencode(fields).encode()
            return self.request(path, data, {"Content-Type": "application/x-www-form-urlencoded"})
        boundary = uuid.uuid4().hex
        parts = []
        for name, value in fields:
            parts.append(f'--{boundary}\r\nContent-Disposition: form-data; name="{name}"\r\n\r\n{value}\r\n'.encode())
        for name, (filename, content) in files.items():
            parts.append(f'--{boundary}\r\nContent-Disposition: form-data; name="{name}"; filename="{filename}"\r\n'
                         f'Content-Type: application/octet-stream\r\n\r\n'.encode() + content + b"\r\n")
        parts.append(f"--{boundary}--\r\n".encode())
        return self.request(path, b"".join(parts), {"Content-Type": f"multipart/form-data; boundary={boundary}"})

    def follow(self, response):
        """Follows one redirect of a response to a page of the application."""
        return self.get(response.location)

    def token(self, path):
        """The CSRF token of the form on a page."""
        page = self.get(path)
        m = re.search(r'name="_csrf" value="([0-9a-f]+)"', page.text)
        if not m:
            raise AssertionError(f"no CSRF token on {path} (status {page.status})")
        return m.group(1)

    def login(self, login, password):
        token = self.token("login.php")
        return self.post("login.php", [("_csrf", token), ("login", login), ("password", password),
                                       ("return", "index.php")])

    def session(self):
        """The session cookie's value (the application names it ZT and a hash of its id)."""
        return next((c.value for c in self.jar if c.name.startswith("ZT")), None)

    def cookie(self, name):
        for c in self.jar:
            if c.name == name:
                return c.value
        return None


class FormReader(html.parser.HTMLParser):
    """The fields the first form of a page submits as a browser would: text
    inputs, checked boxes and radios, selected options, textareas as typed."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.fields = []
        self.action = None
        self.done = False
        self.select = None
        self.option = None
        self.chosen = None
        self.textarea = None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if self.done:
            return
        if tag == "form" and self.action is None:
            self.action = a.get("action", "")
        elif tag == "input" and a.get("name") and a.get("type") not in ("file", "submit", "button"):
            if a.get("type") in ("checkbox", "radio") and "checked" not in a:
                return
            value = a.get("value", "on" if a.get("type") == "checkbox" else "")
            if a.get("type", "text") in ("text", "hidden", "email", "url", "search", "tel"):
                value = value.replace("\r", "").replace("\n", "")  # a browser strips line breaks from inputs
            self.fields.append((a["name"], value))
        elif tag == "select" and a.get("name"):
            self.select, self.chosen = a["name"], None
        elif tag == "option" and self.select is not None:
            self.option = a.get("value", "")
            if "selected" in a or self.chosen is None:
                self.chosen = (self.option, "selected" in a)
        elif tag == "textarea" and a.get("name"):
            self.textarea = [a["name"], ""]

    def handle_data(self, data):
        if self.textarea is not None:
            self.textarea[1] += data

    def handle_endtag(self, tag):
        if tag == "select" and self.select is not None:
            self.fields.append((self.select, self.chosen[0] if self.chosen else ""))
            self.select = None
        elif tag == "textarea" and self.textarea is not None:
            text = self.textarea[1]
            text = text[1:] if text.startswith("\n") else text
            self.fields.append((self.textarea[0], text.replace("\r\n", "\n").replace("\n", "\r\n")))
            self.textarea = None
        elif tag == "form" and self.action is not None:
            self.done = True


def form_fields(page):
    """(action, [(name, value)]) of the first form of a page, as a browser would submit it unchanged."""
    reader = FormReader()
    reader.feed(page)
    return reader.action, reader.fields


class Database:
    """Queries the application's database through tests/e2e/dbq.php."""

    def __init__(self, app_dir):
        self.app_dir = app_dir
        self.script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "dbq.php")

    def rows(self, sql, params=()):
        out = subprocess.run(["php", self.script, self.app_dir, sql, json.dumps(list(params))],
                             check=True, capture_output=True, text=True)
        return json.loads(out.stdout)

    def column(self, sql, params=()):
        return [next(iter(r.values())) for r in self.rows(sql, params)]

    def value(self, sql, params=()):
        rows = self.column(sql, params)
        return rows[0] if rows else None


def run_tests(module):
    """Runs the tests of a module (or those named on the command line) and writes
    {"run": n, "failed": n} to $E2E_SUMMARY for tests/e2e/run."""
    loader = unittest.defaultTestLoader
    suite = loader.loadTestsFromNames(sys.argv[1:], module) if len(sys.argv) > 1 else loader.loadTestsFromModule(module)
    result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    summary = os.environ.get("E2E_SUMMARY")
    if summary:
        with open(summary, "w") as f:
            json.dump({"run": result.testsRun, "failed": len(result.failures) + len(result.errors)}, f)
    return 0 if result.wasSuccessful() else 1
