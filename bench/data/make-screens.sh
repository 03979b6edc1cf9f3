#!/usr/bin/env bash
# Makes the four 1920 x 1080 screen-like pictures the picture-format benchmark measures,
# as 24-bit PNG files in the folder given (default build/bench-screens):
#   document.png  a word-processor page (LibreOffice -> PDF -> pdftoppm) on a grey desk
#   terminal.png  a full-screen xterm listing coloured output, grabbed from Xvfb with xwd
#   slide.png     a slide: title, bullets and a photograph-like picture (ImageMagick)
#   desktop.png   openbox on a gradient with an xterm, a clock, a calculator and an editor
# Needs soffice, pdftoppm, Xvfb, openbox, xterm, x11-apps, xwd and ImageMagick. The
# photograph is ImageMagick's fractal plasma with sensor-like noise: no photographs ship
# with the system, and this has the fine continuous detail that makes photos expensive.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../../build/bench-screens}
mkdir -p "$out"
out=$(cd "$out" && pwd)
tmp=$(mktemp -d)
x_pid=""
cleanup() {
  [[ -n "$x_pid" ]] && kill "$x_pid" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
W=1920
H=1080

# --- the document page ---------------------------------------------------------------
python3 - "$tmp/page.html" <<'PY'
import random, sys
random.seed(11)
words = ("the presenter shares a folder on the server and every viewer in the room reads "
         "what is written there budget quarterly figures meeting agenda project schedule "
         "risks and questions from the morning session").split()
def sentence(n):
    out = []
    for _ in range(n):
        w, r = random.choice(words), random.random()
        if r < 0.05: w = f"<b>{w}</b>"
        elif r < 0.09: w = f"<i>{w}</i>"
        out.append(w)
    return " ".join(out).capitalize() + "."
html = ['<html><head><meta charset="utf-8"></head><body style="font-family:serif">',
        "<h1>Quarterly report</h1>"]
for i in range(14):
    if i % 5 == 0:
        html.append(f"<h2>Section {i // 5 + 1}</h2>")
    if i % 5 == 3:
        html.append("<table border=1 cellpadding=4><tr><th>Item</th><th>Q1</th><th>Q2</th></tr>" +
                    "".join(f"<tr><td>{random.choice(words)}</td><td>{random.randint(10,999)}</td>"
                            f"<td>{random.randint(10,999)}</td></tr>" for _ in range(4)) + "</table>")
    html.append("<p>" + " ".join(sentence(random.randint(8, 18)) for _ in range(4)) + "</p>")
html.append("</body></html>")
open(sys.argv[1], "w").write("\n".join(html))
PY
HOME="$tmp" soffice --headless --convert-to pdf --outdir "$tmp" "$tmp/page.html" >/dev/null 2>&1
# The page 1000 pixels wide, its top 1080 - 2 * 40 rows, on a grey desk as a word
# processor shows it.
pdftoppm -png -r 120 -f 1 -l 1 -scale-to-x 1000 -scale-to-y -1 "$tmp/page.pdf" "$tmp/page"
convert "$tmp"/page*.png -crop 1000x1000+0+0 +repage \
  -bordercolor '#9a9a9a' -border 1 \
  -background '#d4d4d4' -gravity center -extent ${W}x${H} -type TrueColor \
  "PNG24:$out/document.png"

# --- the slide with a photograph ------------------------------------------------------
convert -size 900x640 -seed 7 plasma:fractal -blur 0x1.2 -attenuate 0.35 +noise Gaussian \
  "$tmp/photo.png"
convert -size ${W}x${H} gradient:'#f4f6fa'-'#dfe6f0' \
  -fill '#1f3b63' -draw "rectangle 0,0 $W,150" \
  -font DejaVu-Sans-Bold -pointsize 64 -fill white -annotate +80+100 'Field trip results' \
  -font DejaVu-Sans -pointsize 40 -fill '#1f3b63' \
  -annotate +80+300 '• Six sites visited' -annotate +80+380 '• 212 samples taken' \
  -annotate +80+460 '• Water clear at four sites' -annotate +80+540 '• Next visit in May' \
  "$tmp/photo.png" -geometry +930+250 -composite -type TrueColor "PNG24:$out/slide.png"

# --- an X server for the terminal and the desktop ---------------------------------------
mkfifo "$tmp/fd"
Xvfb -displayfd 3 -screen 0 ${W}x${H}x24 -nolisten tcp 3>"$tmp/fd" 2>/dev/null &
x_pid=$!
read -r -t 20 display_number <"$tmp/fd"
export DISPLAY=":$display_number"
grab() {
  xwd -root -silent >"$tmp/grab.xwd"
  convert "$tmp/grab.xwd" -type TrueColor "PNG24:$1"
}

# A terminal filling the screen, showing a coloured listing and a log.
cat >"$tmp/fill.sh" <<'SH'
for i in $(seq 1 4); do ls -l --color=always /usr/bin | sed -n "$((i * 97)),+13p"; done
for i in $(seq 1 14); do
  printf '\033[32m[ ok ]\033[0m %s build step %3d finished in %4d ms \033[33m(warnings: %d)\033[0m\n' \
    "$(date -u -d @$((1700000000 + i * 37)) +%T)" "$i" "$((i * 53 % 997))" "$((i % 3))"
done
sleep 60
SH
xterm -geometry 240x75+0+0 -fa 'DejaVu Sans Mono' -fs 10 -bg black -fg '#d0d0d0' \
  -e bash "$tmp/fill.sh" &
term_pid=$!
sleep 3
grab "$out/terminal.png"
kill "$term_pid" 2>/dev/null || true

# A desktop: a gradient background, openbox frames, a few programs.
convert -size ${W}x${H} gradient:'#2b5876'-'#4e4376' "$tmp/bg.png"
convert "$tmp/bg.png" "$tmp/bg.xwd" 2>/dev/null || true
openbox --sm-disable >/dev/null 2>&1 &
for _ in $(seq 1 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
display -window root "$tmp/bg.png" >/dev/null 2>&1 &
sleep 1
xterm -geometry 100x30+60+60 -fa 'DejaVu Sans Mono' -fs 10 -e bash -c 'ls -l --color=always /usr/lib | head -40; sleep 60' &
xclock -geometry 220x220+1600+80 -update 1 &
xcalc -geometry 300x400+1500+560 &
seq 1 200 | sed 's/^/line of a file being edited, number /' >"$tmp/notes.txt"
xedit -geometry 800x600+760+300 "$tmp/notes.txt" &
sleep 3
grab "$out/desktop.png"
kill %?xterm %?xclock %?xcalc %?xedit %?display %?openbox 2>/dev/null || true
for f in document terminal slide desktop; do
  identify -format "%f %wx%h %[type]\n" "$out/$f.png"
done
