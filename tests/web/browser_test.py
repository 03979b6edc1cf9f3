"""The room's page in a real headless Chromium, served by quorix-serve from a folder that
Quorix's own writer fills."""
import io
import os
import shutil
import socket
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from PIL import Image  # noqa: E402
from firefox import Firefox  # noqa: E402
from webroom import Room, near, pixel, screenshot, wait_for  # noqa: E402

WAITING = (29, 36, 48)

FORMATTED = (r"{\rtf1\ansi{\fonttbl{\f0 DejaVu Sans;}}{\colortbl;\red200\green0\blue0;}"
             r"\f0\fs24 plain {\b bold} {\i italic} {\ul under} {\cf1 red}\par"
             r"\qc centred line\par\pard"
             r"{\pntext\'B7\tab}{\*\pn\pnlvlblt{\pntxtb\'B7}}\ls1 first item\par\pard "
             r"{\pict\pngblip\picw4\pich3 %s}\par}")

HOSTILE = (r"{\rtf1\ansi <script>window.injected=1</script> "
           r"<img src=x onerror=\"window.injected=2\"> "
           r"{\field{\*\fldinst HYPERLINK \"javascript:window.injected=3\"}{\fldrslt click me}}"
           r" <a href=\"javascript:alert(1)\">link</a> &lt;b&gt;\par}")


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.room = Room()
        cls.room.writer.do("run")
        cls.room.open_page()

    @classmethod
    def tearDownClass(cls):
        cls.room.close()

    def rtf(self, text):
        path = os.path.join(self.room.dir, "text.rtf")
        with open(path, "w", encoding="latin-1") as f:
            f.write(text)
        return self.room.writer.do("rtf " + path)

    def centre_shows(self, colour, timeout):
        return wait_for(lambda: near(pixel(self.room.driver, 512, 384), colour), timeout,
                        step=0.01, what="the colour %s in the page" % (colour,))

    def test_1_picture_within_a_second(self):
        for colour in ((220, 30, 30), (30, 200, 60), (20, 40, 230)):
            written = self.room.writer.do("picture %d %d %d 640 360" % colour)
            self.centre_shows(colour, 5)
            painted = self.room.js("return window.quorixPage.painted.at") / 1000.0
            self.assertLess(painted - written, 1.0, "picture painted %.3f s after the write"
                            % (painted - written))
        state = self.room.js("return window.quorixPage.state")
        self.assertEqual(state["showing"], "picture")
        # In proportion: a 16:9 picture in a 4:3 window leaves bars above and below.
        self.assertTrue(near(pixel(self.room.driver, 512, 5), (0, 0, 0)))

    def test_2_formatted_text(self):
        red = io.BytesIO()
        Image.new("RGB", (4, 3), (255, 0, 0)).save(red, "PNG")
        self.rtf(FORMATTED % red.getvalue().hex())
        wait_for(lambda: self.room.js("return document.body.dataset.showing") == "text"
                 and self.room.js("return window.quorixPage.texts") > 0, 5, what="the text")
        spans = self.room.js("""
            return [...document.querySelectorAll('#text span')].map(s => [s.textContent,
                s.className, getComputedStyle(s).color, getComputedStyle(s).fontWeight]);""")
        byText = {text.strip(): (cls, colour, weight) for text, cls, colour, weight in spans}
        self.assertIn("bold", byText["bold"][0])
        self.assertIn("italic", byText["italic"][0])
        self.assertIn("underline", byText["under"][0])
        self.assertEqual(byText["red"][1], "rgb(200, 0, 0)")
        self.assertEqual(self.room.js(
            "return [...document.querySelectorAll('#text p.align-center')]"
            ".map(p => p.textContent).join('|')").strip(), "centred line")
        self.assertIn("first item", self.room.js(
            "return [...document.querySelectorAll('#text li')].map(l => l.textContent).join()"))
        # Its picture, at an address of its own.
        wait_for(lambda: self.room.js("var i = document.querySelector('#text img.text-picture');"
                                      "return i && i.complete && i.naturalWidth"), 5,
                 what="the text's picture")
        self.assertEqual(self.room.js(
            "var i = document.querySelector('#text img.text-picture');"
            "return [i.naturalWidth, i.naturalHeight, i.getAttribute('src').split('/')[1]]"),
            [4, 3, "picture"])
        # The text is scrolled, on white.
        shot = screenshot(self.room.driver)
        self.assertTrue(near(shot.getpixel((shot.size[0] - 30, shot.size[1] - 30)),
                             (255, 255, 255)))

    def test_3_hostile_text_is_text(self):
        self.rtf(HOSTILE)
        wait_for(lambda: "script" in (self.room.js(
            "return document.getElementById('text').textContent") or ""), 5,
            what="the hostile text")
        shown = self.room.js("return document.getElementById('text').textContent")
        for piece in ("<script>window.injected=1</script>", "<img src=x", "click me",
                      "<a href=javascript:alert(1)>link</a>", "&lt;b&gt;"):
            self.assertIn(piece, shown)
        time.sleep(0.3)
        self.assertIsNone(self.room.js("return window.injected"))
        self.assertEqual(self.room.js(
            "return document.querySelectorAll('#text script, #text img, #text a, "
            "#text [href], #text [src], #text [onerror]').length"), 0)

    def test_4_waiting_screen_after_stop(self):
        self.room.writer.do("picture 200 120 0 640 360")
        self.centre_shows((200, 120, 0), 5)
        os.remove(os.path.join(self.room.folder, "quorixlog.cfg"))
        self.centre_shows(WAITING, 5)
        self.assertEqual(self.room.js("return document.body.dataset.showing"), "waiting")
        self.room.writer.do("run")
        self.centre_shows((200, 120, 0), 5)

    def test_5_reconnects_after_restart(self):
        self.room.writer.do("picture 90 90 200 640 360")
        self.centre_shows((90, 90, 200), 5)
        self.room.server.stop()
        wait_for(lambda: self.room.js(
            "return !document.getElementById('connection').hidden"), 5,
            what="the page to notice the server is gone")
        # The last picture stays while the server is down.
        self.assertTrue(near(pixel(self.room.driver, 512, 384), (90, 90, 200)))
        self.room.writer.do("picture 250 250 20 640 360")
        self.room.server.start()
        self.centre_shows((250, 250, 20), 10)
        self.assertTrue(self.room.js("return document.getElementById('connection').hidden"))

    def test_6_phone_sized_window(self):
        self.room.writer.do("picture 10 160 160 640 360")
        self.centre_shows((10, 160, 160), 5)
        self.room.phone(360, 740)
        size = self.room.js("return [innerWidth, innerHeight]")
        self.assertEqual(size, [360, 740])
        box = self.room.js("var r = document.getElementById('picture').getBoundingClientRect();"
                           "return [r.width, r.height];")
        self.assertEqual(box, size)  # the element fills the screen...
        shot = screenshot(self.room.driver)
        w, h = shot.size
        middle = shot.getpixel((w // 2, h // 2))
        self.assertTrue(near(middle, (10, 160, 160)), middle)
        # ...and the picture inside it keeps its proportions: 360 wide, 202 high, centred.
        picture_rows = [y for y in range(h) if near(shot.getpixel((w // 2, y)), (10, 160, 160))]
        self.assertAlmostEqual(len(picture_rows), round(w * 360 / 640), delta=3)
        self.assertTrue(near(shot.getpixel((w // 2, 10)), (0, 0, 0)))
        self.room.desktop()


class CodeAndAbuseTest(unittest.TestCase):
    """The room code, and requests that must not stop the browser's page."""

    @classmethod
    def setUpClass(cls):
        cls.room = Room(server_args=["--code", "blue-42", "--listen", "[::]:0"])
        cls.room.writer.do("run")

    @classmethod
    def tearDownClass(cls):
        cls.room.close()

    def test_code_carried_into_push_channel(self):
        self.room.open_page("?code=blue-42")
        self.room.writer.do("picture 180 20 180 320 180")
        wait_for(lambda: near(pixel(self.room.driver, 512, 384), (180, 20, 180)), 5,
                 what="the picture with the code")
        self.room.driver.get(self.room.server.url("/?code=wrong"))
        self.assertIn("needs its code", self.room.driver.page_source)

    def test_abuse_leaves_page_working(self):
        self.room.open_page("?code=blue-42")
        port = self.room.server.port
        idle = []
        for _ in range(1000):  # from ::1; the browser comes from 127.0.0.1
            s = socket.socket(socket.AF_INET6)
            s.settimeout(5)
            try:
                s.connect(("::1", port))
                idle.append(s)
            except OSError:
                s.close()
        bad = socket.create_connection(("127.0.0.1", port), 5)
        bad.sendall(b"GET /../../etc/passwd HTTP/1.1\r\nHost: x\r\nX-Long: "
                    + b"a" * 64 * 1024 + b"\r\n\r\n")
        self.assertIn(bad.recv(100).split(b" ")[1], (b"400", b"413", b"431"))
        bad.close()
        self.room.writer.do("picture 40 220 220 320 180")
        wait_for(lambda: near(pixel(self.room.driver, 512, 384), (40, 220, 220)), 5,
                 what="the picture while 1,000 idle connections wait")
        self.assertTrue(self.room.server.alive())
        for s in idle:
            s.close()


@unittest.skipUnless(shutil.which("firefox-esr"), "firefox-esr is not installed (tools/deps.sh test)")
class FirefoxTest(unittest.TestCase):
    """The second browser schools use: the same page in Firefox."""

    @classmethod
    def setUpClass(cls):
        cls.room = Room()
        cls.firefox = None
        cls.room.writer.do("run")
        cls.firefox = Firefox(os.path.join(cls.room.dir, "firefox"))
        cls.firefox.get(cls.room.server.url("/"))
        wait_for(lambda: cls.firefox.js("return !!(window.quorixPage && window.quorixPage.state)"),
                 10, what="the page in Firefox")

    @classmethod
    def tearDownClass(cls):
        if cls.firefox:
            cls.firefox.close()
        cls.room.close()

    def centre(self):
        shot = self.firefox.screenshot()
        return shot.getpixel((shot.size[0] // 2, shot.size[1] // 2))

    def test_picture_then_text_then_waiting(self):
        written = self.room.writer.do("picture 200 30 30 640 360")
        wait_for(lambda: near(self.centre(), (200, 30, 30)), 5, step=0.01,
                 what="the picture in Firefox")
        self.assertLess(self.firefox.js("return window.quorixPage.painted.at") / 1000.0 - written,
                        1.0)
        path = os.path.join(self.room.dir, "text.rtf")
        with open(path, "w", encoding="latin-1") as f:
            f.write(HOSTILE.replace(r"\par}", r" {\b bold}\par}"))
        self.room.writer.do("rtf " + path)
        wait_for(lambda: "script" in (self.firefox.js(
            "return document.getElementById('text').textContent") or ""), 5,
            what="the text in Firefox")
        self.assertIn("<script>window.injected=1</script>",
                      self.firefox.js("return document.getElementById('text').textContent"))
        self.assertEqual(self.firefox.js(
            "return [...document.querySelectorAll('#text span.bold')].map(s => s.textContent)"
            ".join()"), "bold")
        self.assertIsNone(self.firefox.js("return window.injected === undefined ? null : 1"))
        os.remove(os.path.join(self.room.folder, "quorixlog.cfg"))
        wait_for(lambda: near(self.centre(), WAITING), 5, what="the waiting screen in Firefox")


if __name__ == "__main__":
    unittest.main(verbosity=2)
