#!/usr/bin/env bash
# Installs the Debian packages Quorix needs that this machine lacks.
#   tools/deps.sh build   what building and running the program needs
#   tools/deps.sh package that, plus what packing the .deb needs
#   tools/deps.sh test    that, plus the X server, window manager and outside clients the tests
#                         drive, the headless Wayland desktop (sway, XWayland, PipeWire,
#                         the portal front end and native clients), and the validators of
#                         the installed files
set -euo pipefail

build_pkgs=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libxcb1-dev libxcb-shm0-dev libxcb-composite0-dev libxcb-damage0-dev libxcb-icccm4-dev libxcb-ewmh-dev
  libxcb-randr0-dev libpipewire-0.3-dev qt6-wayland
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libdeflate-dev
  fonts-dejavu-core
)
package_pkgs=(dpkg-dev file)
test_pkgs=(xvfb xauth openbox xdotool xclip xterm x11-apps x11-utils x11-xserver-utils unrtf clang-format
  poppler-utils desktop-file-utils appstream lintian man-db
  sway xwayland foot grim wl-clipboard pipewire wireplumber xdg-desktop-portal dbus-bin dbus-daemon
  samba smbnetfs fuse3 imagemagick)

want=("${build_pkgs[@]}")
case "${1:-build}" in
  package) want+=("${package_pkgs[@]}") ;;
  test) want+=("${package_pkgs[@]}" "${test_pkgs[@]}") ;;
esac

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
$sudo apt-get update -qq || true
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
