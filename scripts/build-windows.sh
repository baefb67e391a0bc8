#!/usr/bin/env bash
# Cross-builds the Qt-free part of Fendal for Windows with MinGW-w64, in Release:
# QL260DLL.dll with its import library, fendal-cli.exe and (64-bit) the test programs.
#   scripts/build-windows.sh x86_64|i686 BUILD_DIR [cmake options...]
# The 32-bit build is the instrument's own platform; its test programs are not built, as they
# would need a 32-bit Wine to run, but its export table is checked (ctest in BUILD_DIR).
set -euo pipefail
arch=$1 dir=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
tests=ON
[ "$arch" = i686 ] && tests=OFF
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DFENDAL_MINGW_ARCH="$arch" -DFENDAL_WINDOWS_TESTS=$tests -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache "$@"
fi
cmake --build "$dir" -j"$(nproc)"
