#!/usr/bin/env bash
# Fails when a folder includes a header of a folder it must not see. The layers, lowest first:
#   platform  <-  rtf, controls  <-  capture, slideshow, text  <-  app
#                                                             <-  view (the viewer program)
# rtf needs no widgets and sits just above platform, whose no-follow writes it uses; controls
# knows no RTF; capture, slideshow and text do not include each other. The rule is by folder:
# a header's folder is the part of its include path before the first slash.
set -euo pipefail
cd "$(dirname "$0")/.."

layers="platform rtf controls capture slideshow text app view"

allowed() { # FOLDER -> the folders it may include
  case "$1" in
    platform) echo "platform" ;;
    rtf) echo "platform rtf" ;;
    controls) echo "platform controls" ;;
    capture) echo "platform rtf controls capture" ;;
    slideshow) echo "platform rtf controls slideshow" ;;
    text) echo "platform rtf controls text" ;;
    app) echo "platform rtf controls capture slideshow text app" ;;
    view) echo "platform rtf controls view" ;;
  esac
}

status=0
for folder in $layers; do
  [[ -d $folder ]] || continue
  ok=" $(allowed "$folder") "
  while IFS=: read -r file line include; do
    target=${include#*\"}
    target=${target%%\"*}
    [[ $target == */* ]] || continue # a header beside the file
    layer=${target%%/*}
    [[ " $layers " == *" $layer "* ]] || continue # not one of the layers
    if [[ $ok != *" $layer "* ]]; then
      echo "$file:$line: $folder/ must not include $target" >&2
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' '^#include "' "$folder" || true)
done
[[ $status -eq 0 ]] && echo "layers: every include points down"
exit $status
