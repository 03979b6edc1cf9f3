#!/usr/bin/env bash
# Installs the Debian packages Quorix needs that this machine lacks.
#   tools/deps.sh build   what building and running the program needs
#   tools/deps.sh package that, plus what packing the .deb needs
#   tools/deps.sh test    that, plus the X server, window manager and outside clients the tests
#                         drive, the headless Wayland desktops (sway; GNOME Shell with
#                         GNOME's portal back end and AT-SPI to answer its dialog;
#                         XWayland, PipeWire, the portal front end and native clients), the
#                         validators of the installed files, the libraries only the
#                         benchmarks link, and the web browsers, their driver and nginx that
#                         the web tests run
#   tools/deps.sh kde     that of test, plus the KDE Plasma desktop (KWin, KDE's portal back
#                         end and what its dialog needs; Qt 5) for tools/check.sh --kde
#   tools/deps.sh bench   that of test, plus the room benchmark's reference (one x11vnc
#                         serving the screen to VNC viewers)
#   tools/deps.sh --list LIST   prints what LIST (build, package, test, kde, bench) would install,
#                         one package a line, and installs nothing
# Every library the CMake files look for must be in the list of each entry point whose
# build needs it: tests/project/dependencies.sh checks that against what CMake really found.
set -euo pipefail

build_pkgs=(
  cmake ninja-build g++ pkgconf
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libxcb1-dev libxcb-shm0-dev libxcb-composite0-dev libxcb-damage0-dev libxcb-icccm4-dev libxcb-ewmh-dev
  libxcb-randr0-dev libpipewire-0.3-dev qt6-wayland
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libdeflate-dev libmicrohttpd-dev libqrencode-dev
  fonts-dejavu-core
)
package_pkgs=(dpkg-dev file)
# bench/room.py's "vnc" run: what a room would use instead of Quorix, timed beside it.
room_bench_pkgs=(x11vnc xtightvncviewer)
# libspng-dev and libwebp-dev: bench_formats compares the compact picture's libraries; it is
# left out where they are missing, so only the test entry point (which builds everything)
# installs them. libwayland-dev (wayland-client, wayland-scanner): the KDE tests' pointer
# speaks KWin's fake-input protocol; it is small and Qt-free, so every CMake look at a
# pkg-config module is served by the test list, also where the KDE list never ran.
test_pkgs=(libspng-dev libwebp-dev libwayland-dev
  xvfb xauth openbox xdotool xclip xterm x11-apps x11-utils x11-xserver-utils unrtf clang-format
  poppler-utils desktop-file-utils appstream lintian man-db
  sway xwayland foot grim wl-clipboard pipewire wireplumber xdg-desktop-portal dbus-bin dbus-daemon
  gnome-shell mutter xdg-desktop-portal-gnome dbus-user-session at-spi2-core python3-pyatspi
  libglib2.0-bin procps
  samba smbnetfs fuse3 libfuse3-dev imagemagick xserver-xorg-core xserver-xorg-video-dummy
  chromium chromium-driver python3-selenium python3-pil nginx zbar-tools firefox-esr)

# KDE Plasma 5.27 is Qt 5: a list of its own, so that the default suite carries no second Qt.
kde_pkgs=(kwin-wayland xdg-desktop-portal-kde plasma-workspace plasma-wayland-protocols
  qtwayland5 qml-module-org-kde-pipewire)

listing=false
if [[ ${1:-} == --list ]]; then
  listing=true
  shift
fi
want=("${build_pkgs[@]}")
case "${1:-build}" in
  build) ;;
  package) want+=("${package_pkgs[@]}") ;;
  test) want+=("${package_pkgs[@]}" "${test_pkgs[@]}") ;;
  kde) want+=("${package_pkgs[@]}" "${test_pkgs[@]}" "${kde_pkgs[@]}") ;;
  bench) want+=("${package_pkgs[@]}" "${test_pkgs[@]}" "${room_bench_pkgs[@]}") ;;
  *)
    echo "usage: $0 [--list] [build|package|test|kde|bench]" >&2
    exit 2
    ;;
esac
if $listing; then
  printf '%s\n' "${want[@]}"
  exit 0
fi

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get -o DPkg::Lock::Timeout=600 update -qq || true
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
