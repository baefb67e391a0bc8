#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main road: a virtual instrument holds
# demonstration points, so that the transfer ("数据传输" over USB) works at once. With a display the
# desktop program starts on the demonstration file; without one, fendal-cli runs the same road.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

out=build/demo
mkdir -p "$out"
build/bin/fendal-cli import demo/demo-transfer.tem -o "$out/demo.fsy"

build/bin/fendal-instrument usb --points 25 > "$out/instrument.log" 2>&1 &
instrument=$!
trap 'kill "$instrument" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  grep -q '^READY' "$out/instrument.log" && break
  sleep 0.1
done
echo "virtual instrument: $(head -1 "$out/instrument.log")"

if { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  build/bin/fendal "$PWD/$out/demo.fsy"
else
  build/bin/fendal-cli transfer --usb -o "$out/transfer.fsy"
  build/bin/fendal-cli info "$out/transfer.fsy"
fi
