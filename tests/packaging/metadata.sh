#!/usr/bin/env bash
# The desktop entry, the AppStream metadata and the manual page pass their validators, and
# the entry, metadata and icon name one another consistently.
set -euo pipefail
src=${QUORIX_SOURCE_DIR:?}/packaging
build=${QUORIX_BUILD_DIR:?}/packaging
id=si.ombrak.Quorix

for tool in desktop-file-validate appstreamcli man; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (tools/deps.sh test)"; exit 77; }
done

echo "== desktop-file-validate"
desktop-file-validate "$src/$id.desktop"
desktop-file-validate "$src/${id}View.desktop"

echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$build/$id.metainfo.xml"

echo "== manual pages"
for page in quorix.1 quorix-view.1 quorix-serve.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$build/$page" 2>&1 >/dev/null)
  if [[ -n "$warnings" ]]; then
    echo "manual page $page warnings:"; echo "$warnings"; exit 1
  fi
done

echo "== names"
grep -qx "Icon=$id" "$src/$id.desktop" || { echo "desktop entry names another icon"; exit 1; }
grep -qx "Exec=quorix" "$src/$id.desktop" || { echo "desktop entry starts another command"; exit 1; }
grep -qx "Icon=$id" "$src/${id}View.desktop" || { echo "the viewer's entry names another icon"; exit 1; }
grep -qx "Exec=quorix-view %f" "$src/${id}View.desktop" ||
  { echo "the viewer's entry starts another command"; exit 1; }
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$build/$id.metainfo.xml" ||
  { echo "metainfo launches another desktop entry"; exit 1; }
[[ -f "$src/icons/$id.svg" ]] || { echo "no icon $id.svg"; exit 1; }
echo "metadata ok"
