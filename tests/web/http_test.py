"""quorix-serve over plain HTTP: only its fixed routes, the pictures as written, the room
code, the limits, and a port already taken."""
import http.client
import io
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from PIL import Image  # noqa: E402
from webroom import SERVE, Server, Writer, wait_for  # noqa: E402

SLIDES = os.path.join(os.path.dirname(__file__), "..", "data", "slides")
FUZZ = os.path.join(os.path.dirname(__file__), "..", "data", "rtf", "fuzz")


def get(port, path, headers=None, host="127.0.0.1", method="GET"):
    connection = http.client.HTTPConnection(host, port, timeout=5)
    connection.request(method, path, headers=headers or {})
    response = connection.getresponse()
    body = response.read()
    connection.close()
    return response.status, dict(response.getheaders()), body


def raw(port, request, host="127.0.0.1"):
    with socket.create_connection((host, port), 5) as s:
        s.sendall(request)
        return s.recv(4096)


class Events:
    """One push channel, read announcement by announcement."""

    def __init__(self, port, query=""):
        self.socket = socket.create_connection(("127.0.0.1", port), 5)
        self.socket.sendall(b"GET /events%s HTTP/1.1\r\nHost: x\r\n\r\n" % query.encode())
        self.data = b""

    def next(self):
        while True:
            found = re.search(rb"\ndata: (\{.*\})\n", self.data)
            if found:
                self.data = self.data[found.end():]
                return json.loads(found.group(1))
            chunk = self.socket.recv(4096)
            if not chunk:
                raise AssertionError("the push channel closed")
            self.data += chunk

    def close(self):
        self.socket.close()


def state(port, query=""):
    """The first announcement on a new push channel."""
    events = Events(port, query)
    try:
        return events.next()
    finally:
        events.close()


class RoutesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="quorix-web-")
        cls.writer = Writer(cls.dir)
        cls.server = Server(cls.dir).start()
        cls.port = cls.server.port
        cls.writer.do("run")
        cls.events = Events(cls.port)
        cls.last = cls.events.next()

    @classmethod
    def tearDownClass(cls):
        cls.events.close()
        cls.server.stop()
        cls.writer.close()
        shutil.rmtree(cls.dir, ignore_errors=True)

    def newest_picture(self, after=None):
        """The address of the next picture announced after `after`."""
        while self.last.get("picture") in (None, after):
            RoutesTest.last = self.events.next()
        return self.last["picture"]

    def test_picture_is_the_written_file(self):
        self.writer.do("picture 12 34 56 300 200")
        with open(os.path.join(self.dir, "shar.png"), "rb") as f:
            written = f.read()
        # Byte for byte, not encoded again. (A picture announced before may come first: the
        # reader takes a bitmap that changed after its compact picture for a new frame.)
        address = self.last.get("picture")
        for _ in range(5):
            address = self.newest_picture(address)
            status, headers, body = get(self.port, address)
            if body == written:
                break
        self.assertEqual(status, 200)
        self.assertEqual(body, written)
        self.assertEqual(headers["Content-Type"], "image/png")
        self.assertIn("immutable", headers["Cache-Control"])
        self.assertEqual(headers["X-Content-Type-Options"], "nosniff")

    def test_only_the_last_pictures_are_kept(self):
        last = self.last.get("picture")
        addresses = []
        for n in range(17):
            self.writer.do("picture %d 0 0 64 48" % (n * 10))
            last = self.newest_picture(last)
            addresses.append(last)
        first = addresses[0]
        self.assertEqual(get(self.port, first)[0], 404)
        self.assertEqual(get(self.port, last)[0], 200)
        token = last.split("/")[2]
        self.assertEqual(get(self.port, last.replace(token, "0" * 32))[0], 404)

    def test_only_fixed_routes(self):
        status, headers, body = get(self.port, "/")
        self.assertEqual(status, 200)
        self.assertIn("script-src 'self'", headers["Content-Security-Policy"])
        self.assertNotIn("unsafe-inline", headers["Content-Security-Policy"])
        self.assertEqual(get(self.port, "/page.js")[0], 200)
        self.assertEqual(get(self.port, "/page.css")[0], 200)
        for path in ("/../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd", "/picture/..%2f..%2fshar.png",
                     "/shar.png", "/shar.bmp", "/quorix.cfg", "/index.html", "/picture/",
                     "/picture/x/1.png", "/page.js/", "//page.js", "/%2fpage.js", "/text/../",
                     "/picture/" + "a" * 32 + "/-1.png", "/picture/" + "a" * 32 + "/1.pngx"):
            with self.subTest(path=path):
                status, headers, body = get(self.port, path)
                self.assertEqual(status, 404)
                self.assertNotIn(b"<", body)
        self.assertEqual(get(self.port, "/", method="POST")[0], 405)
        self.assertIn(raw(self.port, b"GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 900000\r\n\r\n")
                      .split(b" ")[1], (b"413",))
        for request in (b"GET / HTTP/1.1\r\nHost: x\r\nX-Long: " + b"a" * 70000 + b"\r\n\r\n",
                        b"GET /" + b"a" * 70000 + b" HTTP/1.1\r\nHost: x\r\n\r\n"):
            with self.subTest(request=request[:20]):
                answer = raw(self.port, request)
                self.assertIn(answer.split(b" ")[1], (b"400", b"413", b"414", b"431"), answer[:40])
        self.assertEqual(get(self.port, "/")[0], 200)

    def test_bitmap_from_another_program(self):
        for name in ("rgb24.bmp", "pal8.bmp", "rle4.bmp", "topdown.bmp"):
            with self.subTest(bitmap=name):
                before = self.last.get("picture")
                if os.path.exists(os.path.join(self.dir, "shar.png")):
                    os.remove(os.path.join(self.dir, "shar.png"))
                shutil.copy(os.path.join(SLIDES, name), os.path.join(self.dir, "shar.bmp"))
                original = Image.open(os.path.join(SLIDES, name)).convert("RGB")
                address = before
                for _ in range(5):  # past a picture announced before this one
                    address = self.newest_picture(address)
                    status, headers, body = get(self.port, address)
                    made = Image.open(io.BytesIO(body)).convert("RGB")
                    if made.size == original.size:
                        break
                self.assertEqual(status, 200)
                self.assertEqual(made.size, original.size)
                self.assertEqual(made.tobytes(), original.tobytes())

    def test_hostile_files_never_stop_it(self):
        names = sorted(os.listdir(FUZZ))[:200]
        for name in names:
            shutil.copy(os.path.join(FUZZ, name), os.path.join(self.dir, "shar.rtf"))
        for bad in (b"", b"\x89PNG\r\n\x1a\n" + b"\xff" * 100, b"BM" + b"\xff" * 60):
            with open(os.path.join(self.dir, "shar.png"), "wb") as f:
                f.write(bad)
            with open(os.path.join(self.dir, "shar.bmp"), "wb") as f:
                f.write(bad)
            time.sleep(0.3)
        self.assertTrue(self.server.alive())
        status, _, body = get(self.port, "/text")
        self.assertEqual(status, 200)
        self.writer.do("picture 1 2 3 40 30")
        self.assertEqual(get(self.port, self.newest_picture(self.last.get("picture")))[0], 200)


class LimitsTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="quorix-web-")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def test_room_code(self):
        server = Server(self.dir, args=["--code", "s3cret"]).start()
        try:
            for path in ("/", "/events", "/text"):
                for query in ("", "?code=", "?code=s3cre", "?code=s3cretX", "?code=S3CRET"):
                    with self.subTest(path=path + query):
                        self.assertEqual(get(server.port, path + query)[0], 403)
            self.assertEqual(get(server.port, "/?code=s3cret")[0], 200)
            self.assertEqual(get(server.port, "/text?code=s3cret")[0], 200)
            self.assertEqual(state(server.port, "?code=s3cret")["showing"], "waiting")
            self.assertEqual(get(server.port, "/page.js")[0], 200)
        finally:
            server.stop()

    def test_per_address_limit_and_trusted_proxy(self):
        server = Server(self.dir, args=["--max-per-address", "3",
                                        "--trusted-proxy", "127.0.0.1"]).start()
        direct = Server(self.dir, args=["--max-per-address", "3"]).start()
        held = []
        try:
            def stream(port, forwarded):
                s = socket.create_connection(("127.0.0.1", port), 5)
                s.sendall(b"GET /events HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: %s\r\n\r\n"
                          % forwarded)
                held.append(s)
                return s.recv(200).split(b" ")[1]
            # Behind the trusted proxy each browser's forwarded address has its own count.
            self.assertEqual([stream(server.port, b"10.0.0.7") for _ in range(4)],
                             [b"200", b"200", b"200", b"429"])
            self.assertEqual(stream(server.port, b"10.0.0.8"), b"200")
            self.assertEqual(stream(server.port, b"10.0.0.9, 10.0.0.7"), b"429")
            # From anyone else the header counts for nothing: the connection's own address
            # is limited, the fourth connection refused.
            for n in range(3):
                self.assertEqual(stream(direct.port, b"10.0.0.%d" % n), b"200")
            s = socket.create_connection(("127.0.0.1", direct.port), 5)
            s.sendall(b"GET / HTTP/1.1\r\nHost: x\r\n\r\n")
            try:
                self.assertEqual(s.recv(100), b"")
            except ConnectionResetError:
                pass
            s.close()
            self.assertTrue(server.alive() and direct.alive())
        finally:
            for s in held:
                s.close()
            server.stop()
            direct.stop()

    def test_slow_client_is_closed(self):
        server = Server(self.dir).start()
        try:
            s = socket.create_connection(("127.0.0.1", server.port), 5)
            s.sendall(b"GET / HTTP/1.1\r\nHo")
            s.settimeout(20)
            start = time.monotonic()
            self.assertEqual(s.recv(100), b"")
            self.assertLess(time.monotonic() - start, 15)
            s.close()
        finally:
            server.stop()

    def test_port_in_use(self):
        server = Server(self.dir).start()
        try:
            second = subprocess.run([SERVE, self.dir, "--listen", server.listen],
                                    capture_output=True, text=True, timeout=10)
            self.assertNotEqual(second.returncode, 0)
            self.assertIn("already in use", second.stderr)
            bad = subprocess.run([SERVE, self.dir, "--listen", "nowhere:80"],
                                 capture_output=True, text=True, timeout=10)
            self.assertNotEqual(bad.returncode, 0)
            self.assertIn("nowhere", bad.stderr)
        finally:
            server.stop()


if __name__ == "__main__":
    unittest.main(verbosity=2)
