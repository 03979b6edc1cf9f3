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

for tool in sway swaymsg grim foot pipewire wireplumber dbus-run-session dbus-send Xwayland; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done
if [[ ! -x /usr/libexec/xdg-desktop-portal ]]; then
  echo "SKIP: xdg-desktop-portal is not installed"
  exit 77
fi

if [[ "${QUORIX_WAYLAND_INNER:-}" != 1 ]]; then
  # The outer half: a folder for the session, and the user who runs it.
  top=$(mktemp -d /tmp/quorix-wayland.XXXXXX)
  # Stopped from outside (a test's timeout), the whole session goes: it runs in a process
  # group of its own, whose leader says its id in session.pgid.
  stop_session() {
    local group
    group=$(cat "$top/session.pgid" 2>/dev/null) || return 0
    kill -TERM -- "-$group" 2>/dev/null && sleep 1
    kill -KILL -- "-$group" 2>/dev/null
  }
  trap 'rm -rf "$top"' EXIT
  trap 'stop_session; exit 130' INT TERM
  chmod 755 "$top"
  mkdir -p "$top/bin"
  cp "$here/with-sway.sh" "$here/sway.config" "$top/bin/"
  cmd=$(command -v "$1")
  cp "$cmd" "$top/bin/"
  for f in "${copies[@]}"; do cp "$f" "$top/bin/"; done
  chmod -R a+rX "$top"
  shift
  args=("$top/bin/$(basename "$cmd")" "$@")
  # What the test run chose passes through; nothing else of this environment does.
  keep=(PATH="$PATH" LANG=C.UTF-8 LC_ALL="${LC_ALL:-C.UTF-8}" QUORIX_WAYLAND_INNER=1
    QUORIX_WAYLAND_TOP="$top" QUORIX_WAYLAND_PORTAL=$portal QUORIX_WAYLAND_SOURCES=$sources
    QUORIX_WAYLAND_LATE=$late QUORIX_LATE_PORTAL_SECONDS="${QUORIX_LATE_PORTAL_SECONDS:-6}")
  for var in QT_QPA_PLATFORM QT_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QUORIX_BENCH_SECONDS \
    ASAN_OPTIONS LSAN_OPTIONS; do
    [[ -n "${!var:-}" ]] && keep+=("$var=${!var}")
  done
  if [[ $(id -u) -eq 0 ]]; then
    user=quorix-wayland-test
    if ! id "$user" >/dev/null 2>&1; then
      useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" ||
        { echo "with-sway: cannot create the user $user"; exit 1; }
    fi
    chown -R "$user" "$top"
    runuser -u "$user" -- env -i "${keep[@]}" setsid "$top/bin/with-sway.sh" -- "${args[@]}" &
  else
    env -i "${keep[@]}" setsid "$top/bin/with-sway.sh" -- "${args[@]}" &
  fi
  wait $!
  rc=$?
  # Screenshots the test left for a person to look at.
  if [[ -n "${QUORIX_WAYLAND_SHOTS:-}" ]]; then
    mkdir -p "$QUORIX_WAYLAND_SHOTS" && cp "$top"/control/*.png "$QUORIX_WAYLAND_SHOTS/" 2>/dev/null
  fi
  if [[ $rc -ne 0 && $rc -ne 77 && -d "$top/log" ]]; then
    for f in "$top"/log/*.log; do echo "---- $(basename "$f")"; tail -n 30 "$f"; done
  fi
  exit $rc
fi

top=$QUORIX_WAYLAND_TOP
if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]]; then
  # The middle half: a private session bus around everything else.
  echo $$ >"$top/session.pgid"
  mkdir -p "$top/home" "$top/run" "$top/log" "$top/control"
  chmod 700 "$top/run"
  export HOME="$top/home" XDG_RUNTIME_DIR="$top/run"
  export XDG_CONFIG_HOME="$top/home/.config" XDG_DATA_HOME="$top/home/.local/share"
  export XDG_CACHE_HOME="$top/home/.cache"
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
log=$top/log
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
  wait 2>/dev/null
}
trap cleanup EXIT
wait_for() { # seconds, description, test command...
  local n=$(($1 * 20)) what=$2; shift 2
  for _ in $(seq 1 $n); do "$@" && return 0; sleep 0.05; done
  echo "with-sway: $what did not come up"
  return 1
}
on_bus() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}

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

export PIPEWIRE_RUNTIME_DIR=$XDG_RUNTIME_DIR
pipewire >"$log/pipewire.log" 2>&1 &
pids+=($!)
wait_for 10 "PipeWire" test -S "$XDG_RUNTIME_DIR/pipewire-0" || exit 1
wireplumber >"$log/wireplumber.log" 2>&1 &
pids+=($!)

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
