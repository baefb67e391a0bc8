#!/usr/bin/env bash
# Builds both Windows targets and runs their tests: the export table checks of the 32-bit and
# the 64-bit QL260DLL, and every Qt-free test program under Wine (wine64), headless, in a
# private Wine prefix. Serial tests go through the real Win32 communications calls: COM ports
# joined in pairs by pseudo-terminals (scripts/wine-com-pairs.py).
#   scripts/test-windows.sh [BUILD_DIR_64 [BUILD_DIR_32]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build64=${1:-build-windows}
build32=${2:-build-windows-x86}
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

scripts/build-windows.sh i686 "$build32"
ctest --test-dir "$build32" --output-on-failure

scripts/build-windows.sh x86_64 "$build64"
export WINEPREFIX="$root/$build64/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64 DISPLAY=
# A prefix of our own, made once (a few seconds); no display, no desktop integration. One
# server for the whole run, ended at the end. It and Wine's own service processes start here
# with their output discarded: a helper that inherited a test's output would keep that test's
# pipe open, and the test would never be seen to end.
"$wineserver" -k 2> /dev/null || true
# A server of an earlier run may still be on its way out.
for _ in $(seq 50); do
  "$wineserver" -p > /dev/null 2>&1 && break
  sleep 0.1
done
"$wine" wineboot -i > /dev/null 2>&1

claims="$root/$build64/com-claims"
rm -rf "$claims"
mkdir -p "$claims"
pairs=24
python3 scripts/wine-com-pairs.py "$WINEPREFIX" 11 "$pairs" > "$root/$build64/com-pairs.log" 2>&1 &
relay=$!
stop() {
  kill "$@" 2> /dev/null || true
  wait "$@" 2> /dev/null || true
  "$wineserver" -k 2> /dev/null || true
}
trap 'stop "$relay"' EXIT
for _ in $(seq 50); do
  grep -q '^READY' "$root/$build64/com-pairs.log" && break
  sleep 0.1
done
grep -q '^READY' "$root/$build64/com-pairs.log" || { cat "$root/$build64/com-pairs.log"; exit 1; }
export FENDAL_COM_PAIRS="11:$pairs" FENDAL_COM_CLAIMS="Z:$claims"

ctest --test-dir "$build64" --output-on-failure -j"$(nproc)"

# The whole road as a Windows user takes it: fendal-cli.exe takes the points from the virtual
# instrument on COM9 (a pseudo-terminal of the Linux build's fendal-instrument) and reads the
# file it saved; over USB it finds no device, as Wine has no driver for the chip.
instrument="$root/build/bin/fendal-instrument"
if [ -x "$instrument" ]; then
  out="$root/$build64/transfer-check"
  rm -rf "$out"
  mkdir -p "$out"
  cli="$root/$build64/bin/fendal-cli.exe"
  "$instrument" serial --points 9 --baud 0 > "$out/instrument.log" 2>&1 &
  serial=$!
  trap 'stop "$serial" "$relay"' EXIT
  for _ in $(seq 50); do
    grep -q '^READY' "$out/instrument.log" && break
    sleep 0.1
  done
  ln -sfn "$(sed -n 's/^READY //p' "$out/instrument.log")" "$WINEPREFIX/dosdevices/com9"
  "$wine" "$cli" transfer --serial 9 -o "Z:$out/serial.fsy"
  "$wine" "$cli" info "Z:$out/serial.fsy" > "$out/serial.json"
  python3 -c 'import json,sys; f=json.load(open(sys.argv[1]))["files"][0]; assert f["pointCount"] == 9, f' \
    "$out/serial.json"
  if "$wine" "$cli" transfer --usb -o "Z:$out/usb.fsy" 2> "$out/usb.err"; then
    echo "fendal-cli.exe found a USB device under Wine" >&2
    exit 1
  fi
  grep -q '打开设备失败！' "$out/usb.err"
  echo "windows transfer check: 9 points over COM9, no USB device: passed"
fi
