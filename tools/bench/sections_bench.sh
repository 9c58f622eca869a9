#!/usr/bin/env bash
# The benchmark of the examination of the classes, type libraries,
# interfaces, shell extension handlers and file types
# (QobTessavinScan.exe --sections) against `reg export HKCR`, on the
# scan benchmark's seeded prefix (made once, see scan_bench.sh). It is not a
# test.
#   tools/bench/sections_bench.sh [--repeats N] [--progids N] [--busy]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
if [ ! -f build/bench-windows/CMakeCache.txt ]; then
  cmake -S . -B build/bench-windows -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
fi
cmake --build build/bench-windows -j2 --target QobTessavinScan WineScanBench >/dev/null

export WINEPREFIX=$root/build/bench/prefix
source tests/wine/wineenv.sh
exec python3 tools/bench/sections_bench.py "$@"
