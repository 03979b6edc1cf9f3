# Sourced by the scripts that drive Quorix as a presenter would (tools/*screenshot*.sh):
# a temporary folder removed at exit, a private Xvfb server with openbox, and Quorix copied
# into a program folder of its own whose pointer file names a shared folder, so that
# start-up finds its configuration and opens no dialog.
#
#   desktop_session WxH          starts the server (sets DISPLAY)
#   quorix_folders BINARY        makes $tmp/prog (with the program) and $tmp/share
#   start_quorix                 starts $tmp/prog/quorix in the background (app_pid)

tmp=$(mktemp -d)
cleanup() {
  [[ -n "${app_pid:-}" ]] && kill "$app_pid" 2>/dev/null
  [[ -n "${wm_pid:-}" ]] && kill "$wm_pid" 2>/dev/null
  [[ -n "${x_pid:-}" ]] && kill "$x_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

desktop_session() {
  mkfifo "$tmp/fd"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$tmp/fd" 2>"$tmp/xvfb.log" &
  x_pid=$!
  read -r -t 20 display_number <"$tmp/fd" || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$display_number" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1
  openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
  wm_pid=$!
  # Ready once it announces itself and has listed what it supports.
  for _ in $(seq 1 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
      xprop -root _NET_SUPPORTED 2>/dev/null | grep -q '_NET_ACTIVE_WINDOW' && break
    sleep 0.05
  done
}

quorix_folders() {
  mkdir -p "$tmp/prog" "$tmp/share"
  cp "$1" "$tmp/prog/quorix"
  printf '%s\r\n' "$tmp/share/quorix.cfg" >"$tmp/prog/qx.cfg"
  printf '%s\r\n' "$tmp/share/shar.bmp" 0 0 0 0 5 "" 0 >"$tmp/share/quorix.cfg"
}

start_quorix() {
  "$tmp/prog/quorix" >"$tmp/quorix.log" 2>&1 &
  app_pid=$!
}
