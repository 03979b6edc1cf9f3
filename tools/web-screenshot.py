#!/usr/bin/python3
"""docs/web-page.png: the room's page in the real headless Chromium, showing a picture
Quorix's own writer sent, with the scroll text running. Run from the source folder after
a build; everything stays on the loopback address."""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "web"))
os.environ.setdefault("QUORIX_SERVE", "build/quorix-serve")
os.environ.setdefault("QUORIX_ROOM_WRITER", "build/web_room_writer")
from webroom import Room, screenshot, wait_for  # noqa: E402

out = sys.argv[1] if len(sys.argv) > 1 else "docs/web-page.png"
width, height = (int(v) for v in (sys.argv[2] if len(sys.argv) > 2 else "1280x720").split("x"))
room = Room(width=max(width, 500), height=height)
try:
    room.writer.do("settings 0 1 0 1 1 Welcome - the next lesson starts at ten")
    room.writer.do("run")
    room.writer.do("screen 3 1920 1080")
    room.open_page()
    if width < 500:
        room.phone(width, height)
    wait_for(lambda: room.js("return window.quorixPage.paints") > 0, 10, what="the picture")
    time.sleep(2.5)  # the scroll text on its way in
    screenshot(room.driver).save(out)
    print("wrote", out)
finally:
    room.close()
