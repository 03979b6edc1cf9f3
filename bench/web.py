#!/usr/bin/python3
"""The room's web server under load, on this machine's loopback address only.

  bench/web.py latency  [--watchers 30] [--frames 40]
      write -> paint in a real headless Chromium while 29 simulated browsers watch too
      (each takes every announcement and fetches its picture), Quorix's own writer sending
      a changing picture twice a second: median and 95th percentile.
  bench/web.py clients  [--clients 500] [--frames 20]
      that many simulated browsers: quorix-serve's CPU per frame and memory, whether every
      client got every announcement, and the bytes each fetched per frame.
  bench/web.py nginx    [--clients 1000] [--frames 20]
      the same through nginx with the README's configuration, and how many fetches per
      picture reached quorix-serve.
Run from the source folder after a build (build/quorix-serve, build/web_room_writer).
Every client is bounded in number and time."""
import argparse
import asyncio
import os
import re
import statistics
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "web"))
from webroom import Room, wait_for  # noqa: E402

SCREEN = "1920 1080"
TICK = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def rss_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        return int(re.search(r"VmRSS:\s+(\d+)", f.read()).group(1)) / 1024


class Clients:
    """N simulated browsers: a push channel each, and a fetch of every picture announced."""

    def __init__(self, port, count, path_prefix=""):
        self.port, self.count = port, count
        self.pictures = [set() for _ in range(count)]
        self.bytes = [0] * count
        self.ready = 0
        self.stop = False
        self.loop = asyncio.new_event_loop()
        self.thread = threading.Thread(target=self.loop.run_until_complete, args=(self.main(),))
        self.thread.start()
        wait_for(lambda: self.ready >= count, 60, step=0.1, what="%d clients" % count)

    async def fetch(self, reader, writer, index, path):
        writer.write(b"GET %s HTTP/1.1\r\nHost: x\r\n\r\n" % path.encode())
        head = await reader.readuntil(b"\r\n\r\n")
        length = int(re.search(rb"Content-Length: (\d+)", head, re.I).group(1))
        body = await reader.readexactly(length)
        self.bytes[index] += len(body)

    async def client(self, index):
        reader, writer = await asyncio.open_connection("127.0.0.1", self.port)
        writer.write(b"GET /events HTTP/1.1\r\nHost: x\r\n\r\n")
        picture_reader, picture_writer = await asyncio.open_connection("127.0.0.1", self.port)
        self.ready += 1
        data = b""
        while not self.stop:
            try:
                chunk = await asyncio.wait_for(reader.read(65536), 1)
            except asyncio.TimeoutError:
                continue
            if not chunk:
                break
            data += chunk
            for found in re.finditer(rb'"picture":"(/picture/[0-9a-f]+/\d+\.png)"', data):
                address = found.group(1).decode()
                if address not in self.pictures[index]:
                    self.pictures[index].add(address)
                    await self.fetch(picture_reader, picture_writer, index, address)
            data = data[data.rfind(b"\n\n") + 2:] if b"\n\n" in data else data
        writer.close()
        picture_writer.close()

    async def main(self):
        tasks = []
        for i in range(self.count):
            tasks.append(asyncio.create_task(self.client(i)))
            if i % 50 == 49:
                await asyncio.sleep(0.05)
        await asyncio.gather(*tasks, return_exceptions=True)

    def close(self):
        self.stop = True
        self.thread.join(10)


def percentile(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(round(p / 100 * (len(values) - 1))))]


def latency(args):
    room = Room(server_args=["--max-per-address", "4000"])
    try:
        room.writer.do("run")
        room.open_page()
        clients = Clients(room.server.port, args.watchers - 1)
        delays = []
        for n in range(args.frames):
            before = room.js("return window.quorixPage.painted && window.quorixPage.painted.at")
            start = time.monotonic()
            written = room.writer.do("screen %d %s" % (n, SCREEN))
            painted = wait_for(lambda: (lambda at: at != before and at)(room.js(
                "return window.quorixPage.painted && window.quorixPage.painted.at")), 5,
                step=0.005, what="the paint") / 1000
            delays.append((painted - written) * 1000)
            time.sleep(max(0, 0.5 - (time.monotonic() - start)))
        clients.close()
        print("write -> paint, %d watchers (1 Chromium + %d simulated), %d frames: "
              "p50 %.0f ms, p95 %.0f ms, max %.0f ms"
              % (args.watchers, args.watchers - 1, len(delays), statistics.median(delays),
                 percentile(delays, 95), max(delays)))
    finally:
        room.close()


def clients_run(args, through_nginx=False):
    room = Room(server_args=["--max-per-address", "4000", "--max-connections", "5000",
                             "--trusted-proxy", "127.0.0.1"])
    nginx = None
    try:
        room.writer.do("run")
        port = room.server.port
        if through_nginx:
            sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "web"))
            from nginx_test import Nginx
            nginx = Nginx(room.server.port)
            port = nginx.port
        pid = room.server.process.pid
        clients = Clients(port, args.clients)
        time.sleep(1)
        cpu0, rss0 = cpu_seconds(pid), rss_mb(pid)
        sizes = []
        for n in range(args.frames):
            room.writer.do("screen %d %s" % (n, SCREEN))
            sizes.append(os.path.getsize(os.path.join(room.folder, "shar.png")))
            time.sleep(1.0)
        wait_for(lambda: min(len(p) for p in clients.pictures) >= args.frames, 20, step=0.2,
                 what="every client to fetch every picture")
        cpu = cpu_seconds(pid) - cpu0
        complete = sum(1 for p in clients.pictures if len(p) >= args.frames)
        per_client = statistics.mean(clients.bytes) / args.frames
        print("%d clients%s, %d frames: every announcement and picture reached %d of %d "
              "clients; quorix-serve %.1f ms CPU per frame, %.0f MB resident (%.0f MB before "
              "the frames); %.0f bytes fetched per client per frame, compact picture %.0f bytes"
              % (args.clients, " through nginx" if nginx else "", args.frames, complete,
                 args.clients, cpu / args.frames * 1000, rss_mb(pid), rss0, per_client,
                 statistics.mean(sizes)))
        if nginx:
            log = nginx.access_log().splitlines()
            pictures = [line for line in log if line.startswith("GET /picture/")]
            fetched = [line for line in pictures if line.split()[3] != "HIT"]
            distinct = len({line.split()[1] for line in pictures})
            print("nginx: %d picture requests from the clients for %d pictures, %d of them "
                  "fetched from quorix-serve (%.2f per picture)"
                  % (len(pictures), distinct, len(fetched), len(fetched) / distinct))
        clients.close()
    finally:
        if nginx:
            nginx.stop()
        room.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("what", choices=["latency", "clients", "nginx"])
    parser.add_argument("--watchers", type=int, default=30)
    parser.add_argument("--clients", type=int, default=500)
    parser.add_argument("--frames", type=int, default=20)
    args = parser.parse_args()
    args.watchers = min(args.watchers, 200)
    args.clients = min(args.clients, 2000)
    if args.what == "latency":
        latency(args)
    else:
        clients_run(args, through_nginx=args.what == "nginx")


if __name__ == "__main__":
    main()
