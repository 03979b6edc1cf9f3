#!/usr/bin/env bash
# Installs what is missing, builds Quorix into build/ and packs it as a Debian package,
# build/quorix_<version>_<arch>.deb; install that with `apt-get install ./build/quorix_*.deb`.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh package
cmake --preset default >/dev/null
cmake --build --preset default --target quorix quorix_packaging
rm -f build/quorix_*.deb
(cd build && cpack -G DEB)
ls build/quorix_*.deb
