#!/usr/bin/env bash
# Makes libreoffice-2mb.rtf.gz: a long HTML document (headings, paragraphs with bold,
# italic, underlined and coloured words, bulleted and numbered lists, centred paragraphs,
# Greek, Cyrillic and accented words) converted to RTF by LibreOffice, as word processors
# write it. Needs python3 and soffice (libreoffice-writer-nogui).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 - "$tmp/long.html" <<'PY'
import random, sys
random.seed(7)
words = ("presenter shared folder viewer slide text format paragraph screen window send "
         "budget building session questions morning über café naïve Ελλάδα русский").split()
def sentence(n):
    out = []
    for _ in range(n):
        w, r = random.choice(words), random.random()
        if r < 0.08: w = f"<b>{w}</b>"
        elif r < 0.14: w = f"<i>{w}</i>"
        elif r < 0.18: w = f"<u>{w}</u>"
        elif r < 0.21: w = f'<span style="color:#c03020">{w}</span>'
        out.append(w)
    return " ".join(out)
html = ['<html><head><meta charset="utf-8"><title>Long</title></head><body>']
for i in range(2400):
    k = i % 12
    if k == 0: html.append(f"<h2>Section {i}</h2>")
    elif k == 3: html.append("<ul>" + "".join(f"<li>{sentence(8)}</li>" for _ in range(3)) + "</ul>")
    elif k == 6: html.append("<ol>" + "".join(f"<li>{sentence(8)}</li>" for _ in range(3)) + "</ol>")
    elif k == 9: html.append(f'<p align="center">{sentence(20)}</p>')
    else: html.append(f"<p>{sentence(30)}</p>")
html.append("</body></html>")
open(sys.argv[1], "w").write("\n".join(html))
PY
HOME="$tmp" soffice --headless --convert-to 'rtf:Rich Text Format' --outdir "$tmp" "$tmp/long.html" >/dev/null
gzip -9 -n -c "$tmp/long.rtf" >"$here/libreoffice-2mb.rtf.gz"
echo "$here/libreoffice-2mb.rtf.gz: $(stat -c %s "$tmp/long.rtf") bytes of RTF"
