#!/usr/bin/env bash
# Configures (once) and builds one build tree incrementally.
#   scripts/build.sh BUILD_DIR [cmake options...]
set -euo pipefail
dir=$1; shift
root=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja "$@"
fi
cmake --build "$dir" -j"$(nproc)"
