#!/usr/bin/env bash
# Runs one command inside a private Wayland desktop: sway headless (pixman renderer,
# XWayland on), a private session bus, PipeWire with WirePlumber, the real
# xdg-desktop-portal front end, and the test screen-cast back end (the only stand-in: it
# answers the desktop's consent dialog the way the test asks).
#
#   with-sway.sh [--no-portal | --monitors-only | --late-portal] [--copy FILE]... -- COMMAND ARGS...
#
# --no-portal runs the portal front end without any screen-cast back end; --monitors-only
# gives it a back end that shares whole monitors only, as wlroots desktops do;
# --late-portal leaves the front end to the session bus to start at the first call, as
# desktops do, and that start takes QUORIX_LATE_PORTAL_SECONDS (6) seconds.
#
# sway refuses to run as root, and the session bus admits only its owner, so when run as
# root the whole session, the command included, runs as a throwaway unprivileged user
# ("quorix-wayland-test"), from copies of the command and the --copy files in a folder that
# user can read (the build may sit under /root). The command finds the copies through
# QUORIX_WAYLAND_BIN. Exit code 77 (a skip) when a part of the desktop is not installed.
#
# In the session: WAYLAND_DISPLAY, DISPLAY (XWayland), SWAYSOCK, PIPEWIRE_RUNTIME_DIR,
# QUORIX_WAYLAND_CONTROL (the back end's folder: its answers and what it saw), two outputs
# HEADLESS-1 (1280 x 720, the one the back end streams) and HEADLESS-2 (800 x 600).
# With QUORIX_WAYLAND_SHOTS set, the PNG screenshots a test leaves in the control folder
# are copied there at the end.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# In the session's folder the shared part sits beside this script.
if [[ -f $here/../session.sh ]]; then source "$here/../session.sh"; else source "$here/session.sh"; fi
portal=1
sources=3
late=0
copies=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --no-portal) portal=0; shift ;;
    --monitors-only) sources=1; shift ;;
    --late-portal) late=1; shift ;;
    --copy) copies+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[[ $# -gt 0 ]] || { echo "usage: with-sway.sh [--no-portal] [--copy FILE]... -- COMMAND"; exit 2; }

desktop_require sway swaymsg grim foot pipewire wireplumber dbus-run-session dbus-send Xwayland \
  /usr/libexec/xdg-desktop-portal

if [[ "${QUORIX_WAYLAND_INNER:-}" != 1 ]]; then
  session_files=("$here/sway.config")
  session_keep=(QUORIX_WAYLAND_PORTAL=$portal QUORIX_WAYLAND_SOURCES=$sources
    QUORIX_WAYLAND_LATE=$late QUORIX_LATE_PORTAL_SECONDS="${QUORIX_LATE_PORTAL_SECONDS:-6}")
  desktop_outer_half wayland "$here/with-sway.sh" "$@"
fi

top=$QUORIX_WAYLAND_TOP
if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]]; then
  # The middle half: a private session bus around everything else.
  desktop_inner_home "$top"
  if [[ $QUORIX_WAYLAND_LATE == 1 ]]; then
    # The session bus starts the portal front end at the first call, slowly: a service file
    # in the session's data folder stands before the system's own.
    mkdir -p "$XDG_DATA_HOME/dbus-1/services"
    cat >"$top/bin/late-portal.sh" <<LATE
#!/bin/sh
sleep $QUORIX_LATE_PORTAL_SECONDS
XDG_DESKTOP_PORTAL_DIR=$top/portals exec /usr/libexec/xdg-desktop-portal -r >"$top/log/portal.log" 2>&1
LATE
    chmod +x "$top/bin/late-portal.sh"
    cat >"$XDG_DATA_HOME/dbus-1/services/org.freedesktop.portal.Desktop.service" <<SERVICE
[D-BUS Service]
Name=org.freedesktop.portal.Desktop
Exec=$top/bin/late-portal.sh
SERVICE
  fi
  exec dbus-run-session -- "$0" "$@"
fi

portal=$QUORIX_WAYLAND_PORTAL
desktop_track_programs

export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=sway
export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
export QUORIX_WAYLAND_ENV="$top/control/session.env"
sway -c "$top/bin/sway.config" >"$log/sway.log" 2>&1 &
pids+=($!)
wait_for 20 "sway with XWayland" test -s "$QUORIX_WAYLAND_ENV" || exit 1
# shellcheck disable=SC1090
source "$QUORIX_WAYLAND_ENV"
export WAYLAND_DISPLAY DISPLAY SWAYSOCK
swaymsg create_output >/dev/null
swaymsg output HEADLESS-1 resolution 1280x720 position 0 0 >/dev/null
swaymsg output HEADLESS-2 resolution 800x600 position 1280 0 >/dev/null
swaymsg focus output HEADLESS-1 >/dev/null

desktop_start_pipewire || exit 1

export QUORIX_WAYLAND_CONTROL=$top/control
echo "$QUORIX_WAYLAND_SOURCES" >"$QUORIX_WAYLAND_CONTROL/source-types"
if [[ $portal == 1 ]]; then
  "$top/bin/quorix-screencast-backend" >"$log/backend.log" 2>&1 &
  pids+=($!)
  wait_for 10 "the test screen-cast back end" on_bus org.freedesktop.impl.portal.desktop.quorixtest ||
    exit 1
  mkdir -p "$top/portals"
  cat >"$top/portals/quorixtest.portal" <<PORTAL
[portal]
DBusName=org.freedesktop.impl.portal.desktop.quorixtest
Interfaces=org.freedesktop.impl.portal.ScreenCast;
UseIn=sway
PORTAL
  if [[ $QUORIX_WAYLAND_LATE == 1 ]]; then
    : # the session bus starts the front end (see above)
  else
    XDG_DESKTOP_PORTAL_DIR=$top/portals /usr/libexec/xdg-desktop-portal -r >"$log/portal.log" 2>&1 &
    pids+=($!)
    wait_for 10 "xdg-desktop-portal" on_bus org.freedesktop.portal.Desktop || exit 1
  fi
else
  # The front end without any back end: the portal is there, screen casting is not.
  mkdir -p "$top/portals"
  XDG_DESKTOP_PORTAL_DIR=$top/portals /usr/libexec/xdg-desktop-portal -r >"$log/portal.log" 2>&1 &
  pids+=($!)
  wait_for 10 "xdg-desktop-portal" on_bus org.freedesktop.portal.Desktop || exit 1
fi

export QUORIX_WAYLAND_BIN=$top/bin
"$@"
