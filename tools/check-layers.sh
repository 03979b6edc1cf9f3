#!/usr/bin/env bash
# Fails when a folder includes a header of a folder it must not see. The layers, lowest first:
#   core  <-  imaging, rtf  <-  exchange         (the viewer stops here)
#   imaging  <-  windowsystem (the seam; its back ends in x11/ and portal/)
#   exchange, windowsystem  <-  presenter  <-  capture, slideshow, text  <-  app
#   core  <-  controls;   exchange, controls  <-  view (the viewer program)
#   exchange  <-  web (the room's web server)  <-  serve (quorix-serve), app
# core holds the file helpers; rtf needs no widgets and uses core's no-follow writes;
# exchange is the shared folder, written by the presenter and read by the viewer, so it, the
# viewer and everything below them never see the window system. controls knows no RTF;
# capture, slideshow and text do not include each other. The rule is by folder: a header's
# folder is the part of its include path before the first slash. Inside windowsystem/, the
# X11 and portal back ends do not include each other.
set -euo pipefail
cd "$(dirname "$0")/.."

layers="core imaging rtf exchange windowsystem presenter controls capture slideshow text app view web serve"

allowed() { # FOLDER -> the folders it may include
  case "$1" in
    core) echo "core" ;;
    imaging) echo "core imaging" ;;
    rtf) echo "core rtf" ;;
    exchange) echo "core imaging rtf exchange" ;;
    windowsystem) echo "core imaging windowsystem" ;;
    presenter) echo "core imaging exchange windowsystem presenter" ;;
    controls) echo "core imaging controls" ;;
    capture) echo "core imaging rtf exchange windowsystem presenter controls capture" ;;
    slideshow) echo "core imaging rtf exchange presenter controls slideshow" ;;
    text) echo "core imaging rtf exchange presenter controls text" ;;
    app) echo "core imaging rtf exchange windowsystem presenter controls capture slideshow text web app" ;;
    view) echo "core imaging rtf exchange controls view" ;;
    web) echo "core imaging rtf exchange web" ;;
    serve) echo "core imaging rtf exchange web serve" ;;
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
for pair in "x11 portal" "portal x11"; do
  set -- $pair
  while IFS=: read -r file line _; do
    echo "$file:$line: windowsystem/$1/ must not include windowsystem/$2/" >&2
    status=1
  done < <(grep -rn --include='*.h' --include='*.cpp' "^#include \"windowsystem/$2/" "windowsystem/$1" || true)
done
[[ $status -eq 0 ]] && echo "layers: every include points down"
exit $status
