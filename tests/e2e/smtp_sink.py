"""A real SMTP server on loopback (aiosmtpd) that keeps every message it
receives, for the tests of the account pages' mail."""
import email
import email.policy
import re
import socket
import sys
import time

try:
    from aiosmtpd.controller import Controller
except ImportError:  # a Python of its own (pyenv, venv) beside Debian's python3-aiosmtpd
    sys.path.append("/usr/lib/python3/dist-packages")
    from aiosmtpd.controller import Controller


class _Keep:
    def __init__(self):
        self.messages = []

    async def handle_DATA(self, server, session, envelope):
        msg = email.message_from_bytes(envelope.content, policy=email.policy.default)
        self.messages.append((list(envelope.rcpt_tos), msg))
        return "250 OK"


class SmtpSink:
    """with SmtpSink() as sink: ... sink.port, sink.wait_for(address) -> the message's text."""

    def __enter__(self):
        s = socket.socket()
        s.bind(("127.0.0.1", 0))
        self.port = s.getsockname()[1]
        s.close()
        self.handler = _Keep()
        self.controller = Controller(self.handler, hostname="127.0.0.1", port=self.port)
        self.controller.start()
        return self

    def __exit__(self, *exc):
        self.controller.stop()

    def count(self, address):
        return sum(1 for to, _ in self.handler.messages if address in to)

    def wait_for(self, address, after=0, timeout=10):
        """The body of the message number `after` (0 = the first) sent to the address."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            mine = [m for to, m in self.handler.messages if address in to]
            if len(mine) > after:
                return mine[after].get_body(("plain",)).get_content()
            time.sleep(0.05)
        raise AssertionError(f"no mail to {address}")

    @staticmethod
    def link(body, page):
        m = re.search(rf"https?://\S+/({re.escape(page)}\?token=[0-9a-f]+)", body)
        if not m:
            raise AssertionError(f"no link to {page} in the mail: {body!r}")
        return m.group(1)
