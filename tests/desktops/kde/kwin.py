#!/usr/bin/python3
"""KWin's windows as KWin itself sees them, for the tests inside tests/desktops/kde/with-kde.sh.

    kwin.py windows              prints the windows, one JSON object a line
    kwin.py place TITLE X Y W H  moves and sizes the window titled TITLE (its frame)
    kwin.py raise TITLE          raises and activates it

KWin has no command line that lists or places windows: a small KWin script does it, loaded
through KWin's scripting interface on the session bus, and prints what it finds to KWin's
log (with-kde.sh turns the "kwin_scripting" messages on and names the log in
QUORIX_KDE_KWIN_LOG). Each window: "class" (the Wayland app id or X11 class), "title",
"frame" and "client" ([x, y, width, height] on the screen, the client without KWin's
decoration), "x11" (the X11 window id, 0 for a Wayland window) and "parent" (the title of the
window it belongs to, its transient parent, or null), "active", "fullScreen", "keepAbove",
"stacking" (higher is nearer the top) and "pid".
"""
import json
import os
import sys
import time
import uuid

from gi.repository import Gio, GLib

WINDOW_JS = """
function describe(c) {
    var f = c.frameGeometry, g = c.bufferGeometry;
    return JSON.stringify({
        "class": String(c.resourceClass), "title": String(c.caption),
        "frame": [f.x, f.y, f.width, f.height], "client": [g.x, g.y, g.width, g.height],
        "x11": c.windowId ? Number(c.windowId) : 0,
        "parent": c.transientFor ? String(c.transientFor.caption) : null,
        "active": workspace.activeClient === c, "fullScreen": !!c.fullScreen,
        "keepAbove": !!c.keepAbove, "stacking": Number(c.stackingOrder), "pid": Number(c.pid)});
}
function byTitle(title) {
    var cs = workspace.clientList();
    for (var i = 0; i < cs.length; ++i)
        if (String(cs[i].caption) === title)
            return cs[i];
    return null;
}
"""


def _call(bus, path, interface, method, args=None, reply="()"):
    return bus.call_sync("org.kde.KWin", path, interface, method, args,
                         GLib.VariantType.new(reply), Gio.DBusCallFlags.NONE, 5000, None)


def run(body):
    """Runs a KWin script whose `body` prints with out(...); the lines it printed."""
    log_path = os.environ["QUORIX_KDE_KWIN_LOG"]
    marker = "quorix" + uuid.uuid4().hex
    folder = os.environ.get("QUORIX_KDE_CONTROL", "/tmp")
    script = os.path.join(folder, marker + ".js")
    with open(script, "w") as f:
        f.write(WINDOW_JS)
        f.write("function out(s) { print('%s ' + s); }\n" % marker)
        f.write(body)
        f.write("\nprint('%s end');\n" % marker)
    with open(log_path, "rb") as log:
        log.seek(0, os.SEEK_END)
        start = log.tell()
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    try:
        _call(bus, "/Scripting", "org.kde.kwin.Scripting", "loadScript",
              GLib.Variant("(ss)", (script, marker)), "(i)")
        _call(bus, "/Scripting", "org.kde.kwin.Scripting", "start")
        end = time.monotonic() + 5
        lines = []
        while time.monotonic() < end:
            with open(log_path, "rb") as log:
                log.seek(start)
                text = log.read().decode("utf-8", "replace")
            prefix = marker + " "
            lines = [l.split(prefix, 1)[1] for l in text.splitlines() if prefix in l]
            if "end" in lines:
                return lines[:lines.index("end")]
            errors = [l for l in text.splitlines() if marker in l and "error" in l]
            if errors:
                raise RuntimeError(errors[0])
            time.sleep(0.05)
        raise RuntimeError("KWin ran no script (is kwin_scripting logged?)")
    finally:
        try:
            _call(bus, "/Scripting", "org.kde.kwin.Scripting", "unloadScript",
                  GLib.Variant("(s)", (marker,)), "(b)")
        except GLib.Error:
            pass
        os.unlink(script)


def windows():
    lines = run("var cs = workspace.clientList();\n"
                "for (var i = 0; i < cs.length; ++i) out(describe(cs[i]));")
    return [json.loads(l) for l in lines]


def place(title, x, y, w, h):
    lines = run("var c = byTitle(%s); if (c) { c.frameGeometry = {x: %d, y: %d, width: %d, "
                "height: %d}; out('done'); }" % (json.dumps(title), x, y, w, h))
    return lines == ["done"]


def activate(title):
    lines = run("var c = byTitle(%s); if (c) { workspace.activeClient = c; out('done'); }"
                % json.dumps(title))
    return lines == ["done"]


def main():
    if len(sys.argv) == 2 and sys.argv[1] == "windows":
        for w in windows():
            print(json.dumps(w))
        return 0
    if len(sys.argv) == 7 and sys.argv[1] == "place":
        return 0 if place(sys.argv[2], *map(int, sys.argv[3:])) else 1
    if len(sys.argv) == 3 and sys.argv[1] == "raise":
        return 0 if activate(sys.argv[2]) else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
