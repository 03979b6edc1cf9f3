#!/usr/bin/env bash
# Pictures the main window on a private Xvfb server with openbox: once as it starts, then
# with each of its buttons held down by the real pointer (xdotool), and stitches the
# pictures into one PNG. The pointer leaves the button before it is released, so nothing
# is clicked and no source starts.
#
#   tools/screenshot.sh [build/quorix] [docs/main-window.png]
#
# Needs xvfb, openbox, xdotool and imagemagick (import, montage, convert).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/quorix}")
out=$(realpath -m "${2:-docs/main-window.png}")
for tool in Xvfb openbox xdotool xprop import montage; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing" >&2; exit 1; }
done
convert=/usr/bin/convert
[[ -x "$bin" ]] || { echo "screenshot: no program at $bin (build it first)" >&2; exit 1; }

tmp=$(mktemp -d)
cleanup() {
  [[ -n "${app_pid:-}" ]] && kill "$app_pid" 2>/dev/null
  [[ -n "${wm_pid:-}" ]] && kill "$wm_pid" 2>/dev/null
  [[ -n "${x_pid:-}" ]] && kill "$x_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

# A program folder of its own with a pointer file and a shared folder, so that start-up
# finds its configuration and opens no dialog.
mkdir -p "$tmp/prog" "$tmp/share" "$tmp/shots"
cp "$bin" "$tmp/prog/quorix"
printf '%s\r\n' "$tmp/share/quorix.cfg" >"$tmp/prog/qx.cfg"
printf '%s\r\n' "$tmp/share/quorix.cfg" 0 0 0 0 5 "" 0 >"$tmp/share/quorix.cfg"

mkfifo "$tmp/fd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/fd" 2>"$tmp/xvfb.log" &
x_pid=$!
read -r -t 20 display_number <"$tmp/fd" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display_number" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 1 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done

"$tmp/prog/quorix" >"$tmp/quorix.log" 2>&1 &
app_pid=$!
wid=$(xdotool search --sync --onlyvisible --name '^Quorix$' | head -n 1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")" # X, Y, WIDTH, HEIGHT

# crop NAME W H LEFT TOP: a part of the screen, in window coordinates.
crop() {
  import -silent -window root -crop "$2x$3+$((X + $4))+$((Y + $5))" +repage "$tmp/shots/$1.png"
}

crop 0-idle "$WIDTH" "$HEIGHT" 0 0

# hold NAME CX CY: press at the centre of a button, picture, then let go outside it.
hold() {
  local name=$1 cx=$2 cy=$3
  shift 3
  xdotool mousemove "$((X + cx))" "$((Y + cy))" mousedown 1
  sleep 0.4
  crop "$name" "$@"
  xdotool mousemove "$((X + cx + 60))" "$((Y + cy))" sleep 0.2 mouseup 1
  xdotool mousemove 0 0
  sleep 0.3
}

# The source buttons (49 x 36) sit in panels 45 pixels apart in the Source group; each
# picture shows the whole column with one button held.
column=(72 256 4 50)
hold 1-clipboard 38 95 "${column[@]}"
hold 2-screen 38 140 "${column[@]}"
hold 3-window 38 185 "${column[@]}"
hold 4-slideshow 38 230 "${column[@]}"
hold 5-text 38 276 "${column[@]}"
corner=(100 60 396 0)
hold 6-send 432 32 "${corner[@]}"
hold 7-close 478 15 "${corner[@]}"
hold 8-fold 478 35 "${corner[@]}"
hold 9-options 37 325 70 48 2 300

montage "$tmp"/shots/[1-5]-*.png -tile x1 -geometry +6+6 -background '#383f5a' "$tmp/sources.png"
montage "$tmp"/shots/[6-9]-*.png -tile x1 -geometry +6+6 -background '#383f5a' "$tmp/commands.png"
mkdir -p "$(dirname "$out")"
"$convert" "$tmp/shots/0-idle.png" \( "$tmp/sources.png" "$tmp/commands.png" -gravity center -append \) \
  -background '#383f5a' -gravity north +append "$out"
echo "screenshot: $out"
