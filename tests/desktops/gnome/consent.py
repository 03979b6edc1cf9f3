#!/usr/bin/python3
"""Answers a desktop's screen-share dialog through AT-SPI, as a presenter would with the mouse.

    consent.py share [--window TITLE] [--timeout SECONDS] [--desktop gnome|kde]
    consent.py cancel [--timeout SECONDS] [--desktop gnome|kde]
    consent.py wait [--timeout SECONDS]     only waits for the dialog to be open
    consent.py absent [--timeout SECONDS]   succeeds when no dialog opens meanwhile

GNOME's dialog is the frame "Screen Share" of the application "xdg-desktop-portal-gnome".
Its Share button stays insensitive until a row of its list is chosen: the first row (the
only monitor), or the row whose text contains TITLE for a window. KDE's is the frame "Screen
Sharing" of "xdg-desktop-portal-kde"; its tiles (one per monitor, one per window) offer
AT-SPI neither an action nor a selection, so a tile is chosen as a hand would: KWin's
pointer is moved onto it and clicked through KWin's fake-input protocol (kde-pointer),
where KWin (kwin.py) says the dialog is and AT-SPI says the tile is in it; then its Share
button is pressed. tests/desktops/kde/with-kde.sh copies both beside this file. The
monitor's tile is the first one that is not "New Virtual Output" (which would have KWin make
a new monitor), a window's the one whose text contains TITLE. Exit status 0 when done, 1
when the dialog did not come (or, for "absent", came, or could not be answered), 2 on a bad
command line, 3 when KDE's back end died as Share was pressed.
"""
import argparse
import os
import sys
import time

import pyatspi

DIALOGS = {
    "gnome": ("xdg-desktop-portal-gnome", "Screen Share"),
    "kde": ("xdg-desktop-portal-kde", "Screen Sharing"),
}
APP, FRAME = DIALOGS["gnome"]
# The Wayland app id of KDE's portal dialogs, as KWin names the window.
KDE_DIALOG_CLASS = "org.freedesktop.impl.portal.desktop.kde"


def children(node):
    try:
        count = node.childCount
    except Exception:
        return []
    found = []
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            child = None
        if child is not None:
            found.append(child)
    return found


def descendants(node, depth=0):
    for child in children(node):
        yield child
        if depth < 40:
            yield from descendants(child, depth + 1)


def role(node):
    try:
        return node.getRole()
    except Exception:
        return None


def name(node):
    try:
        return node.name or ""
    except Exception:
        return ""


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def open_dialog():
    """The dialog's frame while it is on the screen, else None."""
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        if name(app) != APP:
            continue
        for frame in children(app):
            if name(frame) == FRAME and showing(frame):
                return frame
    return None


def wait_for_dialog(timeout):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        frame = open_dialog()
        if frame is not None:
            return frame
        time.sleep(0.1)
    return None


def button(frame, label):
    for node in descendants(frame):
        if role(node) == pyatspi.ROLE_PUSH_BUTTON and label in name(node).replace("_", ""):
            return node
    return None


def sensitive(node):
    try:
        return node.getState().contains(pyatspi.STATE_SENSITIVE)
    except Exception:
        return False


def click(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == "click":
            return action.doAction(i)
    return action.doAction(0)


def choose_row(frame, title):
    """Selects the list's first row, or the row whose text contains `title`."""
    for lst in descendants(frame):
        if role(lst) != pyatspi.ROLE_LIST:
            continue
        rows = [r for r in children(lst) if role(r) == pyatspi.ROLE_LIST_ITEM]
        for index, row in enumerate(rows):
            texts = [name(row)] + [name(n) for n in descendants(row)]
            if title is None or any(title in t for t in texts):
                return lst.querySelection().selectChild(index)
    return False


def checked(node):
    try:
        return node.getState().contains(pyatspi.STATE_CHECKED)
    except Exception:
        return False


def kde_tile(frame, title):
    """The tile to choose in KDE's dialog (see above), or None."""
    for tile in descendants(frame):
        if role(tile) != pyatspi.ROLE_LIST_ITEM or not showing(tile):
            continue
        texts = [name(tile)] + [name(n) for n in descendants(tile)]
        if title is None and not any("New Virtual Output" in t for t in texts):
            return tile
        if title is not None and any(title in t for t in texts):
            return tile
    return None


def kde_share(frame, title, end):
    import subprocess

    import kwin

    here = os.path.dirname(os.path.abspath(__file__))

    while time.monotonic() < end:
        tile = kde_tile(frame, title)
        dialogs = [w for w in kwin.windows() if w["class"] == KDE_DIALOG_CLASS]
        if tile is None or len(dialogs) != 1:
            time.sleep(0.2)
            continue
        # Qt on Wayland knows no place of its window on the screen: AT-SPI gives places
        # within the window, and KWin says where the window's inside is.
        box = tile.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
        left, top = dialogs[0]["client"][:2]
        x, y = left + box.x + box.width // 2, top + box.y + box.height // 2
        subprocess.run([os.path.join(here, "kde-pointer"), "click", str(x), str(y)], check=True)
        for _ in range(20):
            if checked(tile):
                # Pressed at once, Share at times crashed KDE's back end: a hand is slower.
                time.sleep(0.5)
                share = button(frame, "Share")
                if share is None:
                    break
                try:
                    click(share)
                except Exception as error:  # the back end died while answering
                    print("consent: KDE's back end died at Share: %s" % error, file=sys.stderr)
                    return 3
                return 0
            time.sleep(0.05)
    print("consent: no tile to choose in KDE's dialog", file=sys.stderr)
    return 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("answer", choices=["share", "cancel", "wait", "absent"])
    parser.add_argument("--window")
    parser.add_argument("--timeout", type=float, default=20)
    parser.add_argument("--desktop", choices=sorted(DIALOGS), default="gnome")
    args = parser.parse_args()
    global APP, FRAME
    APP, FRAME = DIALOGS[args.desktop]
    if args.answer == "absent":
        return 1 if wait_for_dialog(args.timeout) is not None else 0
    frame = wait_for_dialog(args.timeout)
    if frame is None:
        print("consent: no screen-share dialog within %g s" % args.timeout, file=sys.stderr)
        return 1
    if args.answer == "wait":
        return 0
    if args.answer == "cancel":
        cancel = button(frame, "Cancel")
        return 0 if cancel is not None and click(cancel) else 1
    end = time.monotonic() + args.timeout
    if args.desktop == "kde":
        return kde_share(frame, args.window, end)
    while time.monotonic() < end:
        share = button(frame, "Share")
        if choose_row(frame, args.window) and share is not None:
            # The button turns sensitive a moment after the row is chosen.
            for _ in range(50):
                if sensitive(share):
                    click(share)
                    return 0
                time.sleep(0.05)
        time.sleep(0.2)
    print("consent: no row to choose in the dialog", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
