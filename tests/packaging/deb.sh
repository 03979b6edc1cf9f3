#!/usr/bin/env bash
# Builds the .deb from the build folder (as tools/package.sh does) into a temporary folder
# and checks it: lintian finds no errors, the dependencies come from the linked libraries,
# and the package holds the program with its menu entry and icon.
set -euo pipefail
build=${QUORIX_BUILD_DIR:?}
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (tools/deps.sh test)"; exit 77; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$tmp" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; fail "cpack"; }
debs=("$tmp"/quorix_*.deb)
[[ -f "${debs[0]}" && ${#debs[@]} -eq 1 ]] || fail "cpack made no single quorix_*.deb"
deb=${debs[0]}
echo "== $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[[ "$(field Package)" == quorix ]] || fail "package name $(field Package)"
version=$(sed -n 's/^project(Quorix VERSION \([0-9.]*\).*/\1/p' "${QUORIX_SOURCE_DIR:?}/CMakeLists.txt")
[[ "$(field Version)" == "$version" ]] || fail "version $(field Version), project $version"
for lib in libqt6widgets6 libqt6gui6 libxcb-shm0 libxcb-composite0 libpipewire-0.3-0 qt6-wayland; do
  field Depends | grep -q "\b$lib\b" || fail "Depends lacks $lib: $(field Depends)"
done

dpkg-deb -c "$deb" | awk '{print $6}' >"$tmp/contents"
for f in ./usr/bin/quorix ./usr/share/applications/si.ombrak.Quorix.desktop \
         ./usr/bin/quorix-view ./usr/share/applications/si.ombrak.QuorixView.desktop \
         ./usr/share/icons/hicolor/48x48/apps/si.ombrak.Quorix.png \
         ./usr/share/icons/hicolor/scalable/apps/si.ombrak.Quorix.svg \
         ./usr/share/metainfo/si.ombrak.Quorix.metainfo.xml ./usr/share/man/man1/quorix.1.gz; do
  grep -qx "$f" "$tmp/contents" || fail "the package lacks $f"
done

echo "== lintian"
rc=0
lintian --info --fail-on error "$deb" >"$tmp/lintian.log" 2>&1 || rc=$?
grep -v 'running with root privileges' "$tmp/lintian.log" || true
[[ $rc -eq 0 ]] || fail "lintian reports errors"
echo "package ok"
