#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal build, once with
# AddressSanitizer and UndefinedBehaviorSanitizer. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

jobs=$(nproc)
./scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j"$jobs"

if [ "${FENDAL_SKIP_SANITIZERS:-0}" != 1 ]; then
  ./scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DFENDAL_SANITIZE=ON -DFENDAL_BENCH=OFF
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"
fi
