#!/usr/bin/env bash
# Builds and runs the Wayland screen-source benchmark inside the private headless sway
# session the tests use (tests/desktops/sway/with-sway.sh), or with --gnome inside the private
# GNOME session (tests/desktops/gnome/with-gnome.sh). About a minute and a half each;
# QUORIX_BENCH_SECONDS=10 shortens the still-screen part. One desktop session at a time:
# run it under the machine's desktop lock where there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
export QT_SCALE_FACTOR=1 QT_ENABLE_HIGHDPI_SCALING=0
if [[ ${1:-} == --gnome ]]; then
  cmake --build build -j2 --target bench_portal
  tests/desktops/gnome/with-gnome.sh -- build/bench_portal
else
  cmake --build build -j2 --target bench_portal quorix-screencast-backend
  tests/desktops/sway/with-sway.sh --copy build/quorix-screencast-backend -- build/bench_portal
fi
