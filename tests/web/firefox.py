"""Firefox (Debian's firefox-esr) driven headless through its own Marionette protocol on
the loopback address: Debian packages no geckodriver, and this is all the tests need."""
import base64
import io
import json
import os
import socket
import subprocess
import time

from PIL import Image


class Firefox:
    def __init__(self, profile, width=1024, height=768, port=None):
        os.makedirs(profile, exist_ok=True)
        self.port = port or self._free_port()
        with open(os.path.join(profile, "user.js"), "w") as f:
            for name, value in (("marionette.port", self.port),
                                ("browser.shell.checkDefaultBrowser", False),
                                ("app.update.enabled", False),
                                ("datareporting.policy.dataSubmissionEnabled", False),
                                ("toolkit.telemetry.enabled", False),
                                ("network.captive-portal-service.enabled", False),
                                ("browser.safebrowsing.update.enabled", False),
                                ("extensions.update.enabled", False),
                                ("network.connectivity-service.enabled", False),
                                ("app.normandy.enabled", False),
                                ("toolkit.telemetry.server", ""),
                                ("services.settings.server", "http://127.0.0.1:9/"),
                                ("network.dns.disablePrefetch", True),
                                ("network.prefetch-next", False),
                                ("network.trr.mode", 5),
                                # Anything not for the loopback address goes to a proxy
                                # that is not there: nothing leaves the machine.
                                ("network.proxy.type", 1),
                                ("network.proxy.http", "127.0.0.1"),
                                ("network.proxy.http_port", 9),
                                ("network.proxy.ssl", "127.0.0.1"),
                                ("network.proxy.ssl_port", 9),
                                ("network.proxy.no_proxies_on", "127.0.0.1,[::1]")):
                f.write("user_pref(%s, %s);\n" % (json.dumps(name), json.dumps(value)))
        env = dict(os.environ, MOZ_HEADLESS="1", MOZ_HEADLESS_WIDTH=str(width),
                   MOZ_HEADLESS_HEIGHT=str(height))
        self.process = subprocess.Popen(
            ["firefox-esr", "--headless", "--marionette", "--no-remote", "--profile", profile],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.socket = None
        end = time.monotonic() + 60
        while self.socket is None:
            try:
                self.socket = socket.create_connection(("127.0.0.1", self.port), 1)
            except OSError:
                if time.monotonic() > end:
                    self.close()
                    raise AssertionError("firefox-esr offered no Marionette port")
                time.sleep(0.2)
        self.socket.settimeout(30)
        self.buffer = b""
        self.next_id = 0
        self._read()  # the server's greeting
        self.command("WebDriver:NewSession", {"capabilities": {}})

    @staticmethod
    def _free_port():
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            return s.getsockname()[1]

    def _read(self):
        while b":" not in self.buffer:
            self.buffer += self.socket.recv(65536)
        length, rest = self.buffer.split(b":", 1)
        while len(rest) < int(length):
            rest += self.socket.recv(1 << 20)
        self.buffer = rest[int(length):]
        return json.loads(rest[:int(length)])

    def command(self, name, parameters=None):
        self.next_id += 1
        data = json.dumps([0, self.next_id, name, parameters or {}]).encode()
        self.socket.sendall(b"%d:%s" % (len(data), data))
        while True:
            answer = self._read()
            if answer[0] == 1 and answer[1] == self.next_id:
                if answer[2]:
                    raise AssertionError("Marionette %s: %s" % (name, answer[2]))
                return answer[3]

    def get(self, url):
        self.command("WebDriver:Navigate", {"url": url})

    def js(self, script):
        return self.command("WebDriver:ExecuteScript", {"script": script, "args": []})["value"]

    def screenshot(self):
        data = self.command("WebDriver:TakeScreenshot", {"full": False})["value"]
        return Image.open(io.BytesIO(base64.b64decode(data))).convert("RGB")

    def close(self):
        if self.socket:
            try:
                self.command("Marionette:Quit", {"flags": ["eForceQuit"]})
            except (OSError, AssertionError):
                pass
            self.socket.close()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
