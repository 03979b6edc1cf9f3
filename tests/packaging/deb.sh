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
unit=usr/lib/systemd/system/quorix-serve@.service
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
         ./usr/share/metainfo/si.ombrak.Quorix.metainfo.xml ./usr/share/man/man1/quorix.1.gz \
         ./usr/bin/quorix-serve ./usr/share/man/man1/quorix-serve.1.gz "./$unit"; do
  grep -qx "$f" "$tmp/contents" || fail "the package lacks $f"
done
# The web server's unit is installed, not enabled: no link that starts it, no script that
# enables it.
grep -q '^./etc/systemd' "$tmp/contents" && fail "the package enables a unit"
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -q 'postinst' && fail "the package has a postinst"
dpkg-deb -x "$deb" "$tmp/root"
grep -qx 'DynamicUser=yes' "$tmp/root/$unit" || fail "the unit runs as root"
grep -qx 'RequiresMountsFor=%f' "$tmp/root/$unit" || fail "the unit does not wait for its folder"
if command -v systemd-analyze >/dev/null; then
  mkdir -p "$tmp/share room"
  instance="$(systemd-escape --path "$tmp/share room")"
  cp "$tmp/root/$unit" "$tmp/quorix-serve@.service"
  sed -i "s|/usr/bin/quorix-serve|$tmp/root/usr/bin/quorix-serve|" "$tmp/quorix-serve@.service"
  ln -s "$tmp/quorix-serve@.service" "$tmp/quorix-serve@$instance.service"
  SYSTEMD_LOG_LEVEL=err systemd-analyze verify --man=no "$tmp/quorix-serve@$instance.service" \
    || fail "systemd-analyze rejects the unit"
fi

echo "== lintian"
rc=0
lintian --info --fail-on error "$deb" >"$tmp/lintian.log" 2>&1 || rc=$?
grep -v 'running with root privileges' "$tmp/lintian.log" || true
[[ $rc -eq 0 ]] || fail "lintian reports errors"
echo "package ok"
