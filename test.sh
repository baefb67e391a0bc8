#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal build, once with
# AddressSanitizer and UndefinedBehaviorSanitizer; then runs each reader's libFuzzer target
# for a few seconds, and the Windows build and its tests under Wine. Exits non-zero on any failure.
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

if [ "${FENDAL_SKIP_FUZZ:-0}" != 1 ]; then
  # Clang with libFuzzer; only the fuzz targets and what they read with are built.
  if [ ! -f build-fuzz/build.ninja ]; then
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFENDAL_FUZZ=ON -DFENDAL_BENCH=OFF \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
  fi
  cmake --build build-fuzz --target fuzzers -j"$jobs"
  # Real files to start from, so the few seconds go past the signatures.
  mkdir -p build-fuzz/seeds/fuzz_received_data build-fuzz/seeds/fuzz_crack_file
  build/bin/fendal-cli demo-data --points 3 -o build-fuzz/seeds/fuzz_received_data/demo.tem >/dev/null
  build/bin/fendal-cli import build-fuzz/seeds/fuzz_received_data/demo.tem \
    -o build-fuzz/seeds/fuzz_crack_file/demo.fsy >/dev/null
  mkdir -p build-fuzz/seeds/fuzz_point_csv
  build/bin/fendal-cli export-csv build-fuzz/seeds/fuzz_crack_file/demo.fsy \
    -o build-fuzz/seeds/fuzz_point_csv/demo.csv
  for fuzzer in build-fuzz/bin/fuzz_*; do
    name=$(basename "$fuzzer")
    mkdir -p "build-fuzz/corpus/$name" "build-fuzz/seeds/$name"
    echo "fuzzing $name"
    "$fuzzer" -max_total_time="${FENDAL_FUZZ_SECONDS:-5}" -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix=build-fuzz/ "build-fuzz/corpus/$name" "build-fuzz/seeds/$name" 2>&1 | tail -n 4
    [ "${PIPESTATUS[0]}" -eq 0 ]
  done
fi

# The Windows build (MinGW-w64) and its tests under Wine, when the tools are there.
if [ "${FENDAL_SKIP_WINDOWS:-0}" != 1 ] && command -v x86_64-w64-mingw32-g++-posix > /dev/null &&
  { command -v wine64 > /dev/null || [ -x /usr/lib/wine/wine64 ]; }; then
  ./scripts/test-windows.sh
fi
