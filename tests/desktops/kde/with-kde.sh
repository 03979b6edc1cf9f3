#!/usr/bin/env bash
# Runs one command inside a private KDE Plasma desktop: KWin headless (--virtual, 1280 x 720,
# XWayland on), a private session bus, PipeWire with WirePlumber, the real
# xdg-desktop-portal front end and KDE's own portal back end (xdg-desktop-portal-kde), with
# Qt's accessibility on so that AT-SPI sees its dialog (tests/desktops/gnome/consent.py --desktop kde).
#
#   with-kde.sh [--copy FILE]... -- COMMAND ARGS...
#
# As root it runs as a throwaway user ("quorix-kde-test") from copies, as
# tests/desktops/gnome/with-gnome.sh does. Exit code 77 (a skip) when a part of the desktop is not
# installed (tools/deps.sh kde).
#
# In the session: WAYLAND_DISPLAY, DISPLAY and XAUTHORITY (XWayland), QUORIX_KDE_CONTROL,
# QUORIX_KDE_CONSENT (the helper answering KDE's dialog), QUORIX_KDE_BIN (the copies, with
# kwin.py, which lists and places KWin's windows) and QUORIX_KDE_KWIN_LOG (KWin's log, where
# kwin.py's KWin scripts print).
set -u
here=$(cd "$(dirname "$0")" && pwd)
# In the session's folder the shared part sits beside this script.
if [[ -f $here/../session.sh ]]; then source "$here/../session.sh"; else source "$here/session.sh"; fi
desktop_arguments "$@"
set -- "${command_line[@]}"

desktop_require kwin_wayland Xwayland pipewire wireplumber dbus-daemon dbus-send \
  /usr/libexec/xdg-desktop-portal /usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde \
  /usr/libexec/at-spi-bus-launcher
desktop_require_python_module pyatspi python3-pyatspi

if [[ "${QUORIX_KDE_INNER:-}" != 1 ]]; then
  desktop_require_x11_socket_folder
  session_files=("$here/../gnome/consent.py" "$here/kwin.py")
  session_keep=()
  # KWin carries a file capability that containers refuse to execute; a plain copy, still
  # named kwin_wayland, runs.
  session_prepare() { cp /usr/bin/kwin_wayland "$1/bin/kwin_wayland"; }
  desktop_outer_half kde "$here/with-kde.sh" "$@"
fi

# The inner half, as the session's user, leader of its own process group.
desktop_inner_home "$QUORIX_KDE_TOP"
mkdir -p "$top/portals"
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true
export KDE_SESSION_VERSION=5 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
desktop_track_programs
# What the desktop started on its own goes too (it would hold the caller's lock).
session_end() {
  local pid
  for pid in $(pgrep -g $$); do
    [[ $pid != "$$" && $pid != "$BASHPID" ]] && kill "$pid" 2>/dev/null
  done
}

dbus-daemon --session --nofork --address="unix:path=$XDG_RUNTIME_DIR/bus" \
  >"$log/session-bus.log" 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
wait_for 10 "the session bus" test -S "$XDG_RUNTIME_DIR/bus" || exit 1

export WAYLAND_DISPLAY=wayland-quorix
# KWin starts XWayland on a display of its choosing and hands it to the programs it starts:
# the first one notes it.
cat >"$top/bin/note-x11.sh" <<NOTE
#!/bin/sh
echo "DISPLAY=\$DISPLAY XAUTHORITY=\$XAUTHORITY" >"$top/control/x11.part"
mv "$top/control/x11.part" "$top/control/x11.env"
NOTE
chmod +x "$top/bin/note-x11.sh"
# Fake input (kde-pointer, kde_pointer.c: the pointer that chooses in KDE's dialog) is
# offered by KWin only to programs whose desktop file asks for it, or to all with the
# permission checks off, as here; KWin's scripts print what they find to its log
# (kwin_scripting).
# KWin 5.27's headless monitor (--virtual) never tells a screen cast that it drew (only its
# DRM and nested back ends do): a monitor's cast is granted but carries no frame. Nested in
# another compositor KWin crashes at the cast's start (it asks GBM for a buffer without a
# DRM render node). Window casts do carry frames.
KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 QT_LOGGING_RULES="kwin_scripting.debug=true" \
  "$top/bin/kwin_wayland" --virtual --xwayland --width 1280 --height 720 --no-lockscreen \
  --socket "$WAYLAND_DISPLAY" "$top/bin/note-x11.sh" >"$log/kwin.log" 2>&1 &
pids+=($!)
wait_for 20 "KWin's Wayland socket" test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || exit 1
wait_for 20 "XWayland" test -s "$top/control/x11.env" || exit 1
# shellcheck disable=SC1091
source "$top/control/x11.env"
export DISPLAY XAUTHORITY

desktop_start_pipewire || exit 1

# KDE's back end only, started by the bus with the session's addresses.
cp /usr/share/xdg-desktop-portal/portals/kde.portal "$top/portals/"
export XDG_DESKTOP_PORTAL_DIR=$top/portals
activation="DISPLAY,$DISPLAY,WAYLAND_DISPLAY,$WAYLAND_DISPLAY,PIPEWIRE_RUNTIME_DIR,$PIPEWIRE_RUNTIME_DIR"
activation+=",XDG_DESKTOP_PORTAL_DIR,$XDG_DESKTOP_PORTAL_DIR,QT_LINUX_ACCESSIBILITY_ALWAYS_ON,1"
activation+=",QT_QPA_PLATFORM,wayland"
[[ -n ${XAUTHORITY:-} ]] && activation+=",XAUTHORITY,$XAUTHORITY"
dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
  org.freedesktop.DBus.UpdateActivationEnvironment "dict:string:string:$activation" >/dev/null
/usr/libexec/xdg-desktop-portal -r >"$log/portal.log" 2>&1 &
pids+=($!)
wait_for 10 "xdg-desktop-portal" on_bus org.freedesktop.portal.Desktop || exit 1
screencast_ready() {
  dbus-send --session --print-reply --dest=org.freedesktop.portal.Desktop \
    /org/freedesktop/portal/desktop org.freedesktop.DBus.Properties.Get \
    string:org.freedesktop.portal.ScreenCast string:AvailableSourceTypes 2>/dev/null |
    grep -q 'uint32 [1-9]'
}
wait_for 20 "the portal's screen cast" screencast_ready || exit 1

export QUORIX_KDE_CONTROL=$top/control QUORIX_KDE_CONSENT=$top/bin/consent.py
export QUORIX_KDE_BIN=$top/bin QUORIX_KDE_KWIN_LOG=$log/kwin.log
{
  echo "export DBUS_SESSION_BUS_ADDRESS='$DBUS_SESSION_BUS_ADDRESS' WAYLAND_DISPLAY=$WAYLAND_DISPLAY"
  echo "export DISPLAY=$DISPLAY XAUTHORITY='$XAUTHORITY' XDG_RUNTIME_DIR='$XDG_RUNTIME_DIR'"
  echo "export PIPEWIRE_RUNTIME_DIR='$PIPEWIRE_RUNTIME_DIR' HOME='$HOME' QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1"
  echo "export QUORIX_KDE_CONTROL='$QUORIX_KDE_CONTROL' QUORIX_KDE_KWIN_LOG='$QUORIX_KDE_KWIN_LOG'"
} >"$top/control/session.env"
desktop_run_command "${QUORIX_KDE_BUDGET:-}" "$@"
