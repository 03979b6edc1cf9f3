#!/usr/bin/env bash
# Fails when a folder includes a header of a folder above it. The layers, lowest first:
#   platform  <-  controls  <-  capture, slideshow, text  <-  app
#                                                        <-  view (the viewer program)
# capture, slideshow and text do not include each other; the one exception is the RTF
# reader and writer in text/ (text/Rtf*.h, text/RichTextFile.h), which need no widgets and
# sit just above platform for every subsystem to use.
set -euo pipefail
cd "$(dirname "$0")/.."

allowed() { # FOLDER -> the folders it may include
  case "$1" in
    platform) echo "platform" ;;
    controls) echo "platform controls" ;;
    capture) echo "platform controls rtf capture" ;;
    slideshow) echo "platform controls rtf slideshow" ;;
    text) echo "platform controls rtf text" ;;
    app) echo "platform controls rtf capture slideshow text app" ;;
    view) echo "platform controls rtf view" ;;
  esac
}

status=0
for folder in platform controls capture slideshow text app view; do
  [[ -d $folder ]] || continue
  ok=" $(allowed "$folder") "
  while IFS=: read -r file line include; do
    target=${include#*\"}
    target=${target%%\"*}
    layer=${target%%/*}
    case "$target" in
      text/Rtf*.h | text/RichTextFile.h) layer=rtf ;;
    esac
    case "$layer" in
      platform | controls | capture | slideshow | text | app | view) ;;
      *) continue ;; # a header beside the file, or not one of the layers
    esac
    if [[ $ok != *" $layer "* ]]; then
      echo "$file:$line: $folder/ must not include $target" >&2
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' '^#include "' "$folder" || true)
done
[[ $status -eq 0 ]] && echo "layers: every include points down"
exit $status
