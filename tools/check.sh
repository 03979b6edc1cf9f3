#!/usr/bin/env bash
# Installs what is missing, builds Quorix twice (plain, and with AddressSanitizer +
# UndefinedBehaviorSanitizer) and runs the whole test suite on both builds. Tests that
# need a display start their own Xvfb server with openbox (tests/with-xvfb.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh test
export QT_QPA_PLATFORM=offscreen
for preset in default asan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset tests"
  ctest --preset "$preset" -j2
done
