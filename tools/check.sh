#!/usr/bin/env bash
# Installs what is missing, builds Quorix twice (plain, and with AddressSanitizer +
# UndefinedBehaviorSanitizer) and runs the whole test suite on both builds. Tests that
# need a display start their own Xvfb server with openbox (tests/support/with-xvfb.sh).
#
#   tools/check.sh --kde   installs the KDE Plasma desktop as well (tools/deps.sh kde) and
#                          runs only the tests on it (CTest label kde), in the plain build
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ ${1:-} == --kde ]]; then
  tools/deps.sh kde
  export QT_QPA_PLATFORM=offscreen
  cmake --preset default -DQUORIX_KDE_TESTS=ON >/dev/null
  cmake --build --preset default
  ctest --preset default -L kde
  exit
fi
tools/deps.sh test
export QT_QPA_PLATFORM=offscreen
for preset in default asan; do
  echo "== $preset build"
  cmake --preset "$preset" -DQUORIX_KDE_TESTS=OFF >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset tests"
  ctest --preset "$preset" -j2
done
