#!/usr/bin/env bash
# Installs what is missing, builds Quorix into build/ and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh build
cmake --preset default >/dev/null
cmake --build --preset default --target quorix
exec build/quorix
