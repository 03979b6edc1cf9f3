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

. tools/desktop-session.sh
quorix_folders "$bin"
mkdir -p "$tmp/shots"
desktop_session 1024x768
start_quorix
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
