#!/usr/bin/env bash
# Installs Quorix into a temporary prefix (DESTDIR), checks what it installs, then starts
# the installed program as a new user would: a fresh HOME, the first-run message, Options,
# a folder chosen with Browse, OK. The pointer file must land in that HOME's configuration
# folder, never beside the installed program. Runs under tests/support/with-xvfb.sh.
set -euo pipefail
build=${QUORIX_BUILD_DIR:?}
: "${DISPLAY:?needs a display (run under tests/support/with-xvfb.sh)}"
for tool in xdotool xprop file; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (tools/deps.sh test)"; exit 77; }
done

tmp=$(mktemp -d)
pid=""
cleanup() {
  [[ -n "$pid" ]] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
# To stderr: it is also called inside $(...), whose output is the caller's value.
fail() {
  {
    echo "FAIL: $*"
    [[ -f "$tmp/quorix.log" ]] && { echo "-- program output:"; cat "$tmp/quorix.log"; }
  } >&2
  exit 1
}

root=$tmp/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

id=si.ombrak.Quorix
expected=(
  usr/bin/quorix
  usr/bin/quorix-view
  usr/bin/quorix-serve
  usr/lib/systemd/system/quorix-serve@.service
  usr/share/applications/$id.desktop
  usr/share/applications/${id}View.desktop
  usr/share/doc/quorix/changelog.gz
  usr/share/doc/quorix/copyright
  usr/share/icons/hicolor/scalable/apps/$id.svg
  usr/share/man/man1/quorix.1.gz
  usr/share/man/man1/quorix-view.1.gz
  usr/share/man/man1/quorix-serve.1.gz
  usr/share/metainfo/$id.metainfo.xml
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort) ||
  fail "installed files differ from the list above (< expected, > installed)"
for png in "$root"/usr/share/icons/hicolor/*x*/apps/$id.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  file -b "$png" | grep -q "PNG image data, ${size/x/ x }," || fail "$png is not a ${size} PNG: $(file -b "$png")"
done
gzip -t "$root/usr/share/man/man1/quorix.1.gz" "$root/usr/share/man/man1/quorix-view.1.gz" \
  "$root/usr/share/man/man1/quorix-serve.1.gz" \
  "$root/usr/share/doc/quorix/changelog.gz"

# A new user: an empty home, nothing configured.
home=$tmp/home
mkdir -p "$home/Desktop" "$tmp/run"
chmod 700 "$tmp/run"
shared=$tmp/share
mkdir "$shared"
env -u XDG_CONFIG_HOME HOME="$home" XDG_RUNTIME_DIR="$tmp/run" QT_QPA_PLATFORM=xcb \
  "$root/usr/bin/quorix" >"$tmp/quorix.log" 2>&1 &
pid=$!

# Waits up to 15 s for a visible window whose title is exactly $1; prints its id. A search
# that meets a window closing under it gives up at once (an X error), so it is asked again.
window() {
  local w=""
  for _ in $(seq 1 150); do
    w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1) || true
    [[ -n "$w" ]] && break
    sleep 0.1
  done
  [[ -n "$w" ]] || fail "no window \"$1\""
  echo "$w"
}

box=$(window Quorix)
xprop -id "$box" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG ||
  fail "the first window is not the first-run message box"
xdotool windowactivate --sync "$box" key Return

options=$(window Options)
xdotool windowactivate --sync "$options"
xdotool mousemove --window "$options" 351 201 click 1 # Browse

browser=$(window "Server Shared Folder")
xdotool windowactivate --sync "$browser"
xdotool key ctrl+a
xdotool type --delay 10 "$shared"
xdotool key Return
for _ in $(seq 1 50); do
  xdotool search --onlyvisible --name '^Server Shared Folder$' >/dev/null 2>&1 || break
  sleep 0.1
done

xdotool windowactivate --sync "$options"
xdotool mousemove --window "$options" 345 276 click 1 # OK

config=$home/.config/Ombrak/Quorix
for _ in $(seq 1 100); do
  [[ -f "$config/qx.cfg" ]] && break
  sleep 0.1
done
[[ -f "$config/qx.cfg" ]] || fail "no qx.cfg in $config"
[[ "$(cat "$config/qx.cfg")" == "$shared/quorix.cfg"$'\r' ]] ||
  fail "qx.cfg holds $(od -c "$config/qx.cfg" | head -3)"
[[ -f "$shared/quorix.cfg" ]] || fail "no quorix.cfg in the shared folder"

# Closing the window stores its place in the same folder.
main=$(window Quorix)
xdotool windowactivate --sync "$main" key alt+F4
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not close"
wait "$pid" || fail "the program exited with status $?"
pid=""
[[ -f "$config/Progset.cfg" ]] || fail "no Progset.cfg in $config"

# The installed viewer on the same folder: it shows its window, keeps the folder in the
# user's configuration and writes nothing into the shared folder.
before=$(cd "$shared" && ls -A)
env -u XDG_CONFIG_HOME HOME="$home" XDG_RUNTIME_DIR="$tmp/run" QT_QPA_PLATFORM=xcb \
  "$root/usr/bin/quorix-view" "$shared" >"$tmp/quorix.log" 2>&1 &
pid=$!
view=$(window "Quorix View")
xdotool windowactivate --sync "$view" key ctrl+q
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
wait "$pid" || fail "the viewer exited with status $?"
pid=""
[[ -f "$home/.config/Ombrak/QuorixView.conf" ]] || fail "the viewer did not remember the folder"
[[ "$(cd "$shared" && ls -A)" == "$before" ]] || fail "the viewer wrote into the shared folder"

left=$(cd "$root/usr/bin" && ls -A)
[[ "$left" == $'quorix\nquorix-serve\nquorix-view' ]] || fail "files written beside the installed program: $left"
echo "installed program configured in $config"
