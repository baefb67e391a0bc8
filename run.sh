#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main road: a transfer's received data becomes a
# crack data file, which the desktop program opens (or fendal-cli shows, without a display).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

out=build/demo
mkdir -p "$out"
build/bin/fendal-cli import demo/demo-transfer.tem -o "$out/demo.fsy"
build/bin/fendal-cli info "$out/demo.fsy"
if [ -x build/bin/fendal ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/bin/fendal "$out/demo.fsy"
fi
