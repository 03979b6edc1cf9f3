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
copies=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --copy) copies+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[[ $# -gt 0 ]] || { echo "usage: with-kde.sh [--copy FILE]... -- COMMAND"; exit 2; }

for tool in kwin_wayland Xwayland pipewire wireplumber dbus-daemon dbus-send; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done
for tool in /usr/libexec/xdg-desktop-portal \
  /usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde /usr/libexec/at-spi-bus-launcher; do
  if [[ ! -x $tool ]]; then
    echo "SKIP: $(basename "$tool") is not installed"
    exit 77
  fi
done
if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
  echo "SKIP: python3-pyatspi is not installed"
  exit 77
fi

if [[ "${QUORIX_KDE_INNER:-}" != 1 ]]; then
  # The outer half: a folder for the session, and the user who runs it.
  # CTest ends a test that runs out of time with SIGKILL, which no trap sees: the tests run
  # within a budget a little shorter (QUORIX_KDE_BUDGET, below), and what is left of a
  # session killed all the same (desktop sessions run one at a time, under a lock) is ended
  # and swept here, at the next start.
  for old in /tmp/quorix-kde.*; do
    [[ -d $old ]] || continue
    group=$(cat "$old/session.pgid" 2>/dev/null) || group=""
    if [[ -n $group ]]; then
      kill -TERM -- "-$group" 2>/dev/null && sleep 1 && kill -KILL -- "-$group" 2>/dev/null
      rm -rf "$old"
    elif [[ -n $(find "$old" -maxdepth 0 -mmin +2) ]]; then
      rm -rf "$old"
    fi
  done
  top=$(mktemp -d /tmp/quorix-kde.XXXXXX)
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
  cp "$here/with-kde.sh" "$here/../gnome/consent.py" "$here/kwin.py" "$top/bin/"
  # KWin carries a file capability that containers refuse to execute; a plain copy, still
  # named kwin_wayland, runs.
  cp /usr/bin/kwin_wayland "$top/bin/kwin_wayland"
  cmd=$(command -v "$1")
  cp "$cmd" "$top/bin/"
  for f in "${copies[@]}"; do cp "$f" "$top/bin/"; done
  chmod -R a+rX "$top"
  shift
  args=("$top/bin/$(basename "$cmd")" "$@")
  # XWayland puts its socket there, and refuses a folder that is not root's, mode 1777.
  if [[ ! -d /tmp/.X11-unix ]]; then
    if [[ $(id -u) -eq 0 ]]; then
      mkdir -m 1777 /tmp/.X11-unix
    else
      echo "SKIP: /tmp/.X11-unix is missing and only root can make it"
      exit 77
    fi
  fi
  # What the test run chose passes through; nothing else of this environment does.
  keep=(PATH="$PATH" LANG=C.UTF-8 LC_ALL="${LC_ALL:-C.UTF-8}" QUORIX_KDE_INNER=1
    QUORIX_KDE_TOP="$top")
  for var in QT_QPA_PLATFORM QT_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QUORIX_BENCH_SECONDS \
    QUORIX_KDE_BUDGET ASAN_OPTIONS LSAN_OPTIONS; do
    [[ -n "${!var:-}" ]] && keep+=("$var=${!var}")
  done
  if [[ $(id -u) -eq 0 ]]; then
    user=quorix-kde-test
    if ! id "$user" >/dev/null 2>&1; then
      useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" ||
        { echo "with-gnome: cannot create the user $user"; exit 1; }
    fi
    chown -R "$user" "$top"
    runuser -u "$user" -- env -i "${keep[@]}" setsid "$top/bin/with-kde.sh" -- "${args[@]}" &
  else
    env -i "${keep[@]}" setsid "$top/bin/with-kde.sh" -- "${args[@]}" &
  fi
  wait $!
  rc=$?
  if [[ -n "${QUORIX_KDE_SHOTS:-}" ]]; then
    mkdir -p "$QUORIX_KDE_SHOTS" && cp "$top"/control/*.png "$QUORIX_KDE_SHOTS/" 2>/dev/null
  fi
  if [[ -n "${QUORIX_KDE_KEEP:-}" ]]; then
    mkdir -p "$QUORIX_KDE_KEEP" && cp -r "$top"/log/. "$QUORIX_KDE_KEEP/" 2>/dev/null
  fi
  if [[ $rc -ne 0 && $rc -ne 77 && -d "$top/log" ]]; then
    for f in "$top"/log/*.log; do echo "---- $(basename "$f")"; tail -n 30 "$f"; done
  fi
  exit $rc
fi

# The inner half, as the session's user, leader of its own process group.
top=$QUORIX_KDE_TOP
echo $$ >"$top/session.pgid"
mkdir -p "$top/home" "$top/run" "$top/log" "$top/control" "$top/portals"
chmod 700 "$top/run"
export HOME="$top/home" XDG_RUNTIME_DIR="$top/run"
export XDG_CONFIG_HOME="$top/home/.config" XDG_DATA_HOME="$top/home/.local/share"
export XDG_CACHE_HOME="$top/home/.cache"
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true
export KDE_SESSION_VERSION=5 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
log=$top/log
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
  wait 2>/dev/null
  # What the desktop started on its own goes too (it would hold the caller's lock).
  local pid
  for pid in $(pgrep -g $$); do
    [[ $pid != "$$" && $pid != "$BASHPID" ]] && kill "$pid" 2>/dev/null
  done
}
trap cleanup EXIT
wait_for() { # seconds, description, test command...
  local n=$(($1 * 20)) what=$2; shift 2
  for _ in $(seq 1 $n); do "$@" && return 0; sleep 0.05; done
  echo "with-kde: $what did not come up"
  return 1
}
on_bus() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
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

export PIPEWIRE_RUNTIME_DIR=$XDG_RUNTIME_DIR
pipewire >"$log/pipewire.log" 2>&1 &
pids+=($!)
wait_for 10 "PipeWire" test -S "$XDG_RUNTIME_DIR/pipewire-0" || exit 1
wireplumber >"$log/wireplumber.log" 2>&1 &
pids+=($!)

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
if [[ -n "${QUORIX_KDE_BUDGET:-}" ]]; then
  timeout --kill-after=5 "$QUORIX_KDE_BUDGET" "$@"
else
  "$@"
fi
