"""nginx (Debian's) as the caching reverse proxy in front of quorix-serve, with the site
configuration the README gives, and a real browser watching through it."""
import http.client
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from webroom import Room, free_port, near, pixel, require, wait_for  # noqa: E402

require("/usr/sbin/nginx")

SITE = os.path.join(os.path.dirname(__file__), "..", "..", "docs", "nginx-quorix.conf")


def nginx_config(folder, listen_port, upstream_port):
    """The README's site file, moved into a private folder and onto loopback ports."""
    with open(SITE) as f:
        site = f.read()
    site = (site.replace("/var/cache/nginx/quorix", os.path.join(folder, "cache"))
            .replace("listen 80;", "listen 127.0.0.1:%d;" % listen_port)
            .replace("127.0.0.1:8080", "127.0.0.1:%d" % upstream_port))
    main = """daemon off;
worker_processes 1;
pid %(dir)s/nginx.pid;
error_log %(dir)s/error.log warn;
worker_rlimit_nofile 8192;
events { worker_connections 4096; }
http {
    log_format quorix '$request $upstream_cache_status $body_bytes_sent';
    access_log %(dir)s/access.log quorix;
    client_body_temp_path %(dir)s/body;
    proxy_temp_path %(dir)s/proxy;
    fastcgi_temp_path %(dir)s/fastcgi;
    uwsgi_temp_path %(dir)s/uwsgi;
    scgi_temp_path %(dir)s/scgi;
%(site)s
}
""" % {"dir": folder, "site": site}
    path = os.path.join(folder, "nginx.conf")
    with open(path, "w") as f:
        f.write(main)
    return path


class Nginx:
    def __init__(self, upstream_port):
        self.dir = tempfile.mkdtemp(prefix="quorix-nginx-")
        os.chmod(self.dir, 0o777)  # its workers run as another user
        self.port = free_port()
        config = nginx_config(self.dir, self.port, upstream_port)
        self.process = subprocess.Popen(["/usr/sbin/nginx", "-c", config, "-e",
                                         os.path.join(self.dir, "error.log")])
        wait_for(lambda: self.answers(), 10, step=0.1, what="nginx")

    def answers(self):
        try:
            return self.get("/page.css")[0] == 200
        except OSError:
            return False

    def get(self, path):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        connection.request("GET", path)
        response = connection.getresponse()
        body = response.read()
        connection.close()
        return response.status, dict(response.getheaders()), body

    def access_log(self):
        with open(os.path.join(self.dir, "access.log")) as f:
            return f.read()

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        shutil.rmtree(self.dir, ignore_errors=True)


class NginxTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.room = Room(server_args=["--trusted-proxy", "127.0.0.1", "--code", "hall"])
        cls.nginx = Nginx(cls.room.server.port)

    @classmethod
    def tearDownClass(cls):
        cls.nginx.stop()
        cls.room.close()

    def test_browser_through_nginx_and_pictures_cached(self):
        self.room.writer.do("run")
        self.room.writer.do("picture 230 90 10 640 360")
        if not self.room.driver:
            from webroom import chromium
            self.room.driver = chromium(1024, 768, data_dir=self.room.browser_data)
        self.room.driver.get("http://127.0.0.1:%d/?code=hall" % self.nginx.port)
        wait_for(lambda: near(pixel(self.room.driver, 512, 384), (230, 90, 10)), 10,
                 what="the picture through nginx")
        self.room.writer.do("picture 10 90 230 640 360")
        wait_for(lambda: near(pixel(self.room.driver, 512, 384), (10, 90, 230)), 5,
                 what="the next picture through nginx")
        address = self.room.js("return window.quorixPage.painted.address")
        statuses = [self.nginx.get(address)[1].get("X-Cache-Status") for _ in range(3)]
        self.assertEqual(statuses, ["HIT", "HIT", "HIT"])
        # The room code still holds behind the proxy.
        self.assertEqual(self.nginx.get("/")[0], 403)


if __name__ == "__main__":
    unittest.main(verbosity=2)
