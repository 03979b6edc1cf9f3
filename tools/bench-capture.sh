#!/usr/bin/env bash
# Builds and runs the capture benchmark inside a private Xvfb (1920 x 1080) with openbox.
# ffmpeg is needed for the comparison figure only: apt-get install -y ffmpeg.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build build -j2 --target bench_capture quorix_testwindow
QT_SCALE_FACTOR=1 QT_ENABLE_HIGHDPI_SCALING=0 tests/support/with-xvfb.sh build/bench_capture
