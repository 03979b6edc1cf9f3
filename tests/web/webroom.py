"""The real parts of the web tests and benchmark: quorix-serve on a folder, Quorix's own
writer (room_writer) filling it, and a headless Chromium driven through chromedriver.
Everything talks to the loopback address only."""
import io
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time


def require(*programs):
    """Skips the whole test program (status 77) when a part it drives is not installed."""
    missing = [p for p in programs if not shutil.which(p)]
    try:
        import PIL  # noqa: F401
        import selenium  # noqa: F401
    except ImportError as e:
        missing.append(e.name)
    if missing:
        print("SKIP: %s not installed (tools/deps.sh test)" % ", ".join(missing))
        sys.exit(77)


require("chromium", "chromedriver")

from PIL import Image  # noqa: E402
from selenium import webdriver  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402

SERVE = os.environ.get("QUORIX_SERVE", "build/quorix-serve")
WRITER = os.environ.get("QUORIX_ROOM_WRITER", "build/web_room_writer")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(check, timeout, step=0.02, what="the condition"):
    """Polls check() until it returns something true; that value, or AssertionError."""
    end = time.monotonic() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(step)


class Server:
    """quorix-serve on FOLDER, on 127.0.0.1:port unless told otherwise."""

    def __init__(self, folder, port=None, args=(), listen=None):
        self.folder = folder
        self.port = port or free_port()
        self.args = list(args)
        self.listen = listen or "127.0.0.1:%d" % self.port
        self.process = None

    def start(self):
        self.process = subprocess.Popen(
            [SERVE, self.folder, "--listen", self.listen] + self.args,
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        if "serving" not in line:
            raise AssertionError("quorix-serve did not start: %s %s"
                                 % (line, self.process.stderr.read()))
        self.port = int(line.split()[-1])
        self.listen = self.listen.rsplit(":", 1)[0] + ":%d" % self.port
        return self

    def alive(self):
        return self.process and self.process.poll() is None

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        code = self.process.returncode if self.process else None
        self.process = None
        return code

    def url(self, path="/"):
        return "http://127.0.0.1:%d%s" % (self.port, path)


class Writer:
    """Quorix's own SharedState writing into the folder, one command at a time."""

    def __init__(self, folder):
        self.process = subprocess.Popen([WRITER, folder], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)

    def do(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        answer = self.process.stdout.readline().split()
        if not answer or answer[0] != "ok":
            raise AssertionError("writer: %s -> %s" % (command, answer))
        return int(answer[1]) / 1000.0  # wall-clock seconds when written

    def close(self):
        self.process.stdin.close()
        self.process.wait(10)


def chromium(width=1024, height=768, data_dir=None):
    """A headless Chromium that reaches nothing but the loopback address."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                "--no-first-run", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--disable-dev-shm-usage",
                "--hide-scrollbars", "--force-device-scale-factor=1",
                "--user-data-dir=" + data_dir, "--window-size=%d,%d" % (width, height)):
        options.add_argument(arg)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_page_load_timeout(20)
    return driver


def screenshot(driver):
    return Image.open(io.BytesIO(driver.get_screenshot_as_png())).convert("RGB")


def pixel(driver, x, y):
    return screenshot(driver).getpixel((x, y))


def near(colour, wanted, tolerance=6):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, wanted))


class Room:
    """A shared folder with a writer, a server and a browser on it."""

    def __init__(self, server_args=(), width=1024, height=768):
        self.dir = tempfile.mkdtemp(prefix="quorix-web-")
        self.folder = os.path.join(self.dir, "share")
        os.mkdir(self.folder)
        self.writer = Writer(self.folder)
        self.server = Server(self.folder, args=server_args).start()
        self.browser_data = os.path.join(self.dir, "browser")
        os.mkdir(self.browser_data)
        self.driver = None
        self.size = (width, height)

    def open_page(self, query=""):
        if not self.driver:
            self.driver = chromium(*self.size, data_dir=self.browser_data)
        self.driver.get(self.server.url("/" + query))
        wait_for(lambda: self.driver.execute_script("return !!window.quorixPage"), 10,
                 what="the page's script")

    def phone(self, width=360, height=740):
        """The page as a phone shows it: the viewport itself that size (a desktop window
        cannot be made that narrow)."""
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 1, "mobile": True})

    def desktop(self):
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def close(self):
        if self.driver:
            self.driver.quit()
        self.server.stop()
        self.writer.close()
        shutil.rmtree(self.dir, ignore_errors=True)
