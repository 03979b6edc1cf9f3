#!/usr/bin/env bash
# Runs one test program against a private Xvfb server (1920 x 1080, 24 bits) with openbox
# as its window manager, so that tests of capture, window lists and the clipboard meet a
# real X server and real outside clients. Exit code 77 (a skip) when there is no Xvfb.
# QUORIX_XVFB_EXTRA adds server arguments (e.g. "-extension MIT-SHM" to leave one out).
# QUORIX_X_SERVER=dummy runs Xorg with its dummy video driver instead, whose screen can
# switch modes and so change the root window's size (Xvfb's cannot); a skip, saying why,
# where that server cannot start.
set -u
dummy_driver=/usr/lib/xorg/modules/drivers/dummy_drv.so
if [[ ${QUORIX_X_SERVER:-} == dummy ]]; then
  if ! command -v Xorg >/dev/null 2>&1 || [[ ! -e $dummy_driver ]]; then
    echo "SKIP: no Xorg with the dummy driver (xserver-xorg-video-dummy) on this machine"
    exit 77
  fi
elif ! command -v Xvfb >/dev/null 2>&1; then
  echo "SKIP: no Xvfb binary on this machine"
  exit 77
fi
tmp=$(mktemp -d)
cleanup() {
  [[ -n "${wm_pid:-}" ]] && kill "$wm_pid" 2>/dev/null
  [[ -n "${x_pid:-}" ]] && kill "$x_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

# The dummy driver's screen: 1920 x 1080 to begin with; tests add larger modes and the
# further outputs (DUMMY1...) with xrandr.
write_dummy_config() {
  cat >"$tmp/xorg.conf" <<'CONF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "1920x1080" 148.50 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync
  Modeline "1280x720" 74.25 1280 1390 1430 1650 720 725 730 750 +hsync +vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1920x1080" "1280x720"
  EndSubSection
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
CONF
}

# Starts a server and sets DISPLAY; false when it did not announce a display.
start_x() {
  rm -f "$tmp/fd"
  mkfifo "$tmp/fd"
  if [[ ${QUORIX_X_SERVER:-} == dummy ]]; then
    write_dummy_config
    Xorg -displayfd 3 -config "$tmp/xorg.conf" -logfile "$tmp/xorg.log" -noreset -nolisten tcp \
         -novtswitch -sharevts 3>"$tmp/fd" >>"$tmp/xvfb.log" 2>&1 &
    x_pid=$!
    if ! read -r -t 20 display_number <"$tmp/fd"; then
      echo "SKIP: Xorg with the dummy driver did not start here. Its log:"
      tail -n 15 "$tmp/xorg.log" "$tmp/xvfb.log" 2>/dev/null
      exit 77
    fi
    export DISPLAY=":$display_number"
    return 0
  fi
  Xvfb -displayfd 3 -screen 0 "${QUORIX_TEST_SCREEN:-1920x1080x24}" -nolisten tcp \
       +extension Composite ${QUORIX_XVFB_EXTRA:-} 3>"$tmp/fd" 2>>"$tmp/xvfb.log" &
  x_pid=$!
  read -r -t 20 display_number <"$tmp/fd" || return 1
  export DISPLAY=":$display_number"
}
# A test started from a Wayland desktop stays on this X server.
unset WAYLAND_DISPLAY XDG_SESSION_TYPE QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb

# The window manager is ready once it announces itself on the root window and has listed
# what it supports (openbox sets the list a moment after the announcement; a client that
# asks in between is told, for instance, that windows cannot be activated).
wm_ready() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
    xprop -root _NET_SUPPORTED 2>/dev/null | grep -q '_NET_ACTIVE_WINDOW'
}
# Starts openbox and waits up to 20 s for it; false when it is not ready by then.
start_wm() {
  openbox --sm-disable >>"$tmp/openbox.log" 2>&1 &
  wm_pid=$!
  for _ in $(seq 1 400); do
    wm_ready && return 0
    kill -0 "$wm_pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

stop_all() {
  [[ -n "${wm_pid:-}" ]] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [[ -n "${x_pid:-}" ]] && kill "$x_pid" 2>/dev/null && wait "$x_pid" 2>/dev/null
  wm_pid="" x_pid=""
}

# When several servers start at once, openbox now and then cannot open a display that its
# server has just announced: it is started again, and after that the server with it.
ready=0
for attempt in 1 2 3; do
  if ! start_x; then
    echo "with-xvfb: Xvfb did not start (attempt $attempt)"; cat "$tmp/xvfb.log"
    stop_all
    continue
  fi
  command -v openbox >/dev/null 2>&1 || { ready=1; break; }
  start_wm && { ready=1; break; }
  echo "with-xvfb: openbox was not ready; starting it again. Its output:"
  cat "$tmp/openbox.log"
  kill "$wm_pid" 2>/dev/null
  wait "$wm_pid" 2>/dev/null
  sleep 0.5
  start_wm && { ready=1; break; }
  echo "with-xvfb: openbox did not start on $DISPLAY (attempt $attempt); a new server. Logs:"
  cat "$tmp/openbox.log" "$tmp/xvfb.log"
  : >"$tmp/openbox.log"
  stop_all
done
[[ $ready == 1 ]] || { echo "with-xvfb: no X server with openbox after 3 attempts"; exit 1; }

"$@"
rc=$?
exit $rc
