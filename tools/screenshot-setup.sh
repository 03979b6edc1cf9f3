#!/usr/bin/env bash
# Pictures the slide show's set-up window on a private Xvfb server with openbox: the
# presenter chooses the slide show, presses Set Up, opens a slide list through "Open Files
# List" and clicks the first slide, whose picture shows in the entry preview.
#
#   tools/screenshot-setup.sh [build/quorix] [docs/setup-window.png]
#
# Needs xvfb, openbox, xdotool and imagemagick (import, convert).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/quorix}")
out=$(realpath -m "${2:-docs/setup-window.png}")
for tool in Xvfb openbox xdotool xprop xwininfo import; do
  command -v "$tool" >/dev/null || { echo "screenshot-setup: $tool is missing" >&2; exit 1; }
done
convert=/usr/bin/convert
[[ -x "$bin" ]] || { echo "screenshot-setup: no program at $bin (build it first)" >&2; exit 1; }

. tools/desktop-session.sh

# A program folder of its own, a shared folder, and a small show.
quorix_folders "$bin"
mkdir -p "$tmp/slides"
s=$tmp/slides
"$convert" -size 1024x768 gradient:'#f7b733'-'#4a2c7a' "$s/Sunset over the bay.png"
"$convert" -seed 3 -size 600x800 plasma:green-blue "$s/Garden.jpg"
"$convert" -size 640x480 pattern:checkerboard BMP3:"$s/Floor plan.bmp"
printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs36 {\\b Agenda}\\par Welcome\\par}' >"$s/Agenda.rtf"
printf 'Questions and answers\n' >"$s/Questions.txt"
printf '%s\r\n' 1 5 "$s/Agenda.rtf" "$s/Sunset over the bay.png" "$s/Garden.jpg" \
  "$s/Floor plan.bmp" "$s/Questions.txt" >"$s/Evening.obl"

desktop_session 1280x1024

start_quorix
# find NAME: the first visible window of that title, waiting for it at most 20 seconds.
find() {
  timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1
}
wid=$(find '^Quorix$')
[[ -n "$wid" ]] || { echo "screenshot-setup: Quorix did not start" >&2; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")" # X, Y, WIDTH, HEIGHT

# click X Y: a click at a point of the window whose geometry was read last.
click() {
  xdotool mousemove "$((X + $1))" "$((Y + $2))" click 1
  sleep 0.6
}
click 38 230  # the Slideshow source button
click 331 311 # Set Up on the slide page's tool bar

setup=$(find '^Setup Slide Show$')
[[ -n "$setup" ]] || { echo "screenshot-setup: no set-up window" >&2; exit 1; }
sleep 0.5
# xwininfo gives the window's own place; xdotool's is off by the frame under openbox.
X=$(xwininfo -id "$setup" | awk '/Absolute upper-left X/ {print $4}')
Y=$(xwininfo -id "$setup" | awk '/Absolute upper-left Y/ {print $4}')
HEIGHT=$(xwininfo -id "$setup" | awk '/Height:/ {print $2}')
menu=$((HEIGHT - 597)) # the client area (992 x 597) lies below the menu bar
click 180 $((menu + 26)) # Open Files List
[[ -n "$(find '^Open$')" ]] || { echo "screenshot-setup: no file dialog" >&2; exit 1; }
sleep 0.5
xdotool type --delay 5 "$s/Evening.obl"
xdotool key Return
sleep 1.5
click 80 $((menu + 46 + 35)) # the second row: the sunset, into the entry preview
xdotool mousemove 0 0
sleep 0.5

mkdir -p "$(dirname "$out")"
import -silent -window "$setup" "$out"
echo "screenshot-setup: $out"
