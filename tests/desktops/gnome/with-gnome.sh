#!/usr/bin/env bash
# Runs one command inside a private GNOME desktop: GNOME Shell headless on one virtual
# monitor (1280 x 720, XWayland on), a private system and session bus, PipeWire with
# WirePlumber, the real xdg-desktop-portal front end and GNOME's own portal back end
# (xdg-desktop-portal-gnome), whose consent dialog the tests answer through AT-SPI
# (tests/desktops/gnome/consent.py).
#
#   with-gnome.sh [--copy FILE]... -- COMMAND ARGS...
#
# GNOME Shell will not run as root and the session bus admits only its owner, so when run
# as root the whole session, the command included, runs as a throwaway unprivileged user
# ("quorix-gnome-test"), from copies of the command and the --copy files in a folder that
# user can read. The command finds the copies through QUORIX_GNOME_BIN. Exit code 77 (a
# skip) when a part of the desktop is not installed.
#
# In the session: WAYLAND_DISPLAY, DISPLAY and XAUTHORITY (XWayland), DBUS_SESSION_BUS_ADDRESS,
# PIPEWIRE_RUNTIME_DIR, QUORIX_GNOME_CONTROL (a folder for the test's own notes) and
# QUORIX_GNOME_CONSENT (the AT-SPI helper). With QUORIX_GNOME_SHOTS set, the PNG files a
# test leaves in the control folder are copied there at the end; with QUORIX_GNOME_KEEP
# set to a folder, the session's logs are.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# In the session's folder the shared part sits beside this script.
if [[ -f $here/../session.sh ]]; then source "$here/../session.sh"; else source "$here/session.sh"; fi
desktop_arguments "$@"
set -- "${command_line[@]}"

desktop_require gnome-shell Xwayland pipewire wireplumber dbus-daemon dbus-send gsettings foot \
  /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-gnome \
  /usr/libexec/at-spi-bus-launcher
desktop_require_python_module pyatspi python3-pyatspi

if [[ "${QUORIX_GNOME_INNER:-}" != 1 ]]; then
  desktop_require_x11_socket_folder
  session_files=("$here/consent.py" "$here/quorix-test@quorix")
  session_keep=()
  desktop_outer_half gnome "$here/with-gnome.sh" "$@"
fi

# The inner half, as the session's user, leader of its own process group.
desktop_inner_home "$QUORIX_GNOME_TOP"
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_DESKTOP=gnome
export GSETTINGS_BACKEND=dconf NO_AT_BRIDGE=0
desktop_track_programs

# The shell's login manager needs a system bus; a private one with the session's rules will
# do. The session bus sits at a fixed address, so that a person can reach it from outside.
dbus-daemon --config-file=/usr/share/dbus-1/session.conf --nofork \
  --address="unix:path=$XDG_RUNTIME_DIR/system_bus" >"$log/system-bus.log" 2>&1 &
pids+=($!)
dbus-daemon --session --nofork --address="unix:path=$XDG_RUNTIME_DIR/bus" \
  >"$log/session-bus.log" 2>&1 &
pids+=($!)
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/system_bus"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
wait_for 10 "the session bus" test -S "$XDG_RUNTIME_DIR/bus" || exit 1
wait_for 10 "the system bus" test -S "$XDG_RUNTIME_DIR/system_bus" || exit 1

# Accessibility on, so that the portal's dialog can be answered through AT-SPI; no
# animations, no screen blanking.
gsettings set org.gnome.desktop.interface toolkit-accessibility true
gsettings set org.gnome.desktop.interface enable-animations false
gsettings set org.gnome.desktop.session idle-delay 0
gsettings set org.gnome.desktop.interface cursor-blink false
# No banners coming and going on the shared screen (the shell announces that it cannot lock
# the screen without a display manager).
gsettings set org.gnome.desktop.notifications show-banners false
gsettings set org.gnome.desktop.lockdown disable-lock-screen true
# The tests' helper extension (placing, raising and listing windows), and nothing else.
mkdir -p "$XDG_DATA_HOME/gnome-shell/extensions"
cp -r "$top/bin/quorix-test@quorix" "$XDG_DATA_HOME/gnome-shell/extensions/"
gsettings set org.gnome.shell enabled-extensions "['quorix-test@quorix']"
gsettings set org.gnome.shell disable-user-extensions false

gnome-shell --headless --wayland --virtual-monitor 1280x720 >"$log/gnome-shell.log" 2>&1 &
pids+=($!)
export WAYLAND_DISPLAY=wayland-0
wait_for 20 "GNOME Shell's Wayland socket" test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || exit 1
wait_for 20 "Mutter's screen cast" on_bus org.gnome.Mutter.ScreenCast || exit 1
wait_for 20 "GNOME Shell" on_bus org.gnome.Shell || exit 1
wait_for 10 "the tests' shell extension" on_bus org.quorix.TestShell || exit 1
# XWayland: its display and authority file are on its command line.
xwayland_args() {
  local pid
  pid=$(pgrep -g $$ -x Xwayland | head -n 1) || return 1
  tr '\0' '\n' <"/proc/$pid/cmdline"
}
wait_for 20 "XWayland" test -n "$(xwayland_args | grep -m1 '^:[0-9]')" || exit 1
DISPLAY=$(xwayland_args | grep -m1 '^:[0-9]')
XAUTHORITY=$(xwayland_args | grep -A1 -x -- '-auth' | tail -n 1)
export DISPLAY XAUTHORITY
# It starts in the overview; the tests want the plain desktop.
gdbus_set() {
  dbus-send --session --print-reply --dest=org.gnome.Shell /org/gnome/Shell \
    org.freedesktop.DBus.Properties.Set string:org.gnome.Shell "string:$1" "$2" >/dev/null 2>&1
}
overview_off() {
  gdbus_set OverviewActive variant:boolean:false &&
    dbus-send --session --print-reply --dest=org.gnome.Shell /org/gnome/Shell \
      org.freedesktop.DBus.Properties.Get string:org.gnome.Shell string:OverviewActive 2>/dev/null |
    grep -q 'boolean false'
}
wait_for 10 "leaving the overview" overview_off || exit 1

desktop_start_pipewire || exit 1

# GNOME's back end is left to the bus to start (as on a real desktop), so that a test that
# kills it finds it started again at the next call; its output goes to the bus's log.
# GNOME's own back ends only, also where other desktops' are installed (the front end would
# start those as well), and also for a front end the bus starts again after a crash.
mkdir -p "$top/portals"
cp /usr/share/xdg-desktop-portal/portals/gnome.portal "$top/portals/"
[[ -f /usr/share/xdg-desktop-portal/portals/gtk.portal ]] &&
  cp /usr/share/xdg-desktop-portal/portals/gtk.portal "$top/portals/"
export XDG_DESKTOP_PORTAL_DIR=$top/portals
dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
  org.freedesktop.DBus.UpdateActivationEnvironment \
  "dict:string:string:DISPLAY,$DISPLAY,XAUTHORITY,$XAUTHORITY,WAYLAND_DISPLAY,$WAYLAND_DISPLAY,PIPEWIRE_RUNTIME_DIR,$PIPEWIRE_RUNTIME_DIR,GSETTINGS_BACKEND,dconf,XDG_DESKTOP_PORTAL_DIR,$XDG_DESKTOP_PORTAL_DIR" \
  >/dev/null
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

export QUORIX_GNOME_CONTROL=$top/control
export QUORIX_GNOME_CONSENT=$top/bin/consent.py
export QUORIX_GNOME_BIN=$top/bin
{
  echo "export DBUS_SESSION_BUS_ADDRESS='$DBUS_SESSION_BUS_ADDRESS' WAYLAND_DISPLAY=$WAYLAND_DISPLAY"
  echo "export DISPLAY=$DISPLAY XAUTHORITY='$XAUTHORITY' XDG_RUNTIME_DIR='$XDG_RUNTIME_DIR'"
  echo "export PIPEWIRE_RUNTIME_DIR='$PIPEWIRE_RUNTIME_DIR' HOME='$HOME'"
} >"$top/control/session.env"
desktop_run_command "${QUORIX_GNOME_BUDGET:-}" "$@"
