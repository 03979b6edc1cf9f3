#!/usr/bin/env bash
# Builds the RTF reader's fuzz target with clang (build-fuzz/) and runs it.
#   fuzz/run.sh [seconds]   (default 1800)
# New inputs go to fuzz-out/corpus, findings to fuzz-out/artifacts. To keep what a run
# found as regression tests, minimise into the checked-in corpus:
#   build-fuzz/fuzz_rtf_reader -merge=1 tests/data/rtf/fuzz fuzz-out/corpus
# and copy any crasher into tests/data/rtf/crashers/ once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-1800}
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DQUORIX_FUZZ=ON \
  -DQUORIX_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2 --target fuzz_rtf_reader
mkdir -p fuzz-out/corpus fuzz-out/artifacts
exec nice -n 19 build-fuzz/fuzz_rtf_reader -dict=fuzz/rtf.dict -max_total_time="$seconds" \
  -max_len=16384 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix=fuzz-out/artifacts/ fuzz-out/corpus tests/data/rtf/fuzz
