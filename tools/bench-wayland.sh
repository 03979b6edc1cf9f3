#!/usr/bin/env bash
# Builds and runs the Wayland screen-source benchmark inside the private headless sway
# session the tests use (tests/wayland/with-sway.sh). About a minute and a half;
# QUORIX_BENCH_SECONDS=10 shortens the still-screen part.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build build -j2 --target bench_portal quorix-screencast-backend
QT_SCALE_FACTOR=1 QT_ENABLE_HIGHDPI_SCALING=0 \
  tests/wayland/with-sway.sh --copy build/quorix-screencast-backend -- build/bench_portal
