#!/usr/bin/env bash
# The scan benchmark: builds what it needs (build/bench-native,
# build/bench-windows), makes or reuses the seeded Wine prefix in
# build/bench/prefix, and prints the figures. It is not a test.
#   tools/bench/scan_bench.sh [--repeats N] [--progids N] [--threads N] [--busy] [--versus OLD_SCANNER.exe]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench-native -j2 --target NativeScanBench >/dev/null
if [ ! -f build/bench-windows/CMakeCache.txt ]; then
  cmake -S . -B build/bench-windows -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
fi
cmake --build build/bench-windows -j2 --target QobTessavinScan WineScanBench >/dev/null

export WINEPREFIX=$root/build/bench/prefix
source tests/wine/wineenv.sh
exec python3 tools/bench/scan_bench.py "$@"
