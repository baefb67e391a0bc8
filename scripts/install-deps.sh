#!/usr/bin/env bash
# Installs every Debian package Fendal needs to build, test and run.
# Idempotent and quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins
  libgl-dev libxkbcommon-dev
  libxlsxwriter-dev libzip-dev nlohmann-json3-dev libcli11-dev
  libusb-1.0-0-dev umockdev libumockdev-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-noto-cjk qt6-translations-l10n
  xvfb xauth xclip x11-utils openbox xdotool
  poppler-utils
  python3 python3-docx python3-openpyxl
  clang libclang-rt-14-dev strace
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools wine64
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
