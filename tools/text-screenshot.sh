#!/usr/bin/env bash
# Drives the text source as a presenter would, on a private Xvfb server with openbox: press
# Text, type into the editor that opens, picture the editor, press OK, press Send, and
# check with unrtf that the shared folder's shar.rtf holds the typed text.
#
#   tools/text-screenshot.sh [build/quorix] [docs/text-editor.png]
#
# Needs xvfb, openbox, xdotool, x11-utils, imagemagick (import) and unrtf.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/quorix}")
out=$(realpath -m "${2:-docs/text-editor.png}")
for tool in Xvfb openbox xdotool xprop xwininfo import unrtf; do
  command -v "$tool" >/dev/null || { echo "text-screenshot: $tool is missing" >&2; exit 1; }
done
[[ -x "$bin" ]] || { echo "text-screenshot: no program at $bin (build it first)" >&2; exit 1; }

. tools/desktop-session.sh

# A program folder of its own with a pointer file and a shared folder, so that start-up
# finds its configuration and opens no dialog; settings go to a private folder too.
quorix_folders "$bin"
mkdir -p "$tmp/config"

desktop_session 1024x768
export XDG_CONFIG_HOME="$tmp/config"

start_quorix
wid=$(xdotool search --sync --onlyvisible --name '^Quorix$' | head -n 1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")" # X, Y, WIDTH, HEIGHT
main_x=$X main_y=$Y

# click WINDOW-X WINDOW-Y: a click of the real pointer, in the main window's coordinates.
click() {
  xdotool mousemove "$((main_x + $1))" "$((main_y + $2))" sleep 0.2 click 1
}

click 38 276 # Text: the page is empty, so the editor opens
editor=$(xdotool search --sync --onlyvisible --name '^Untitled - Quorix$' | head -n 1)
sleep 1
xdotool windowactivate --sync "$editor" 2>/dev/null || true
# The editor's own area on the screen (xdotool's geometry counts the frame in).
info=$(xwininfo -id "$editor")
X=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
Y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
WIDTH=$(awk '/Width:/ {print $2}' <<<"$info")
HEIGHT=$(awk '/Height:/ {print $2}' <<<"$info")
xdotool mousemove "$((X + WIDTH / 2))" "$((Y + HEIGHT / 2))" sleep 0.2 click 1
xdotool type --delay 20 "Welcome to the morning session"
xdotool key Return
xdotool type --delay 20 "Today: the budget, the new building, questions."
sleep 0.5
import -silent -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "text-screenshot: $out"

# OK sits 104 pixels into the 185-wide panel at the right of the bottom bar.
xdotool mousemove "$((X + WIDTH - 185 + 104 + 37))" "$((Y + HEIGHT - 35 + 4 + 12))" sleep 0.2 click 1
# The typed text is unsaved, so the editor asks "Save changes to Untitled?": No.
confirm=$(xdotool search --sync --onlyvisible --name '^Confirm$' | head -n 1)
sleep 0.5
xdotool windowactivate --sync "$confirm" 2>/dev/null || true
xdotool key --window "$confirm" alt+n
sleep 1
click 432 32 # Send
sleep 1
[[ -f "$tmp/share/shar.rtf" ]] || { echo "text-screenshot: no shar.rtf was written" >&2; exit 1; }
text=$(unrtf --text "$tmp/share/shar.rtf" 2>/dev/null)
grep -q "Welcome to the morning session" <<<"$text" &&
  grep -q "Today: the budget, the new building, questions." <<<"$text" ||
  { echo "text-screenshot: shar.rtf lacks the typed text:" >&2; echo "$text" >&2; exit 1; }
[[ ! -e "$tmp/prog/red98626.rtf" ]] || { echo "text-screenshot: temporary file left" >&2; exit 1; }
echo "text-screenshot: shar.rtf holds the typed text"
