#!/usr/bin/env bash
# Builds the viewer and its benchmark and runs it in a private Xvfb (1920 x 1080) with
# openbox: decoding and scaling, write-to-paint latency, CPU share of a still folder.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build build -j2 --target bench_view quorix-view
QT_SCALE_FACTOR=1 QT_ENABLE_HIGHDPI_SCALING=0 tests/support/with-xvfb.sh build/bench_view "$@"
