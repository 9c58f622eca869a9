#!/usr/bin/env bash
# Builds the native core with its tests (build/native), the Windows programs
# (build/windows), and the native tests again under AddressSanitizer with
# UndefinedBehaviorSanitizer (build/asan) and under ThreadSanitizer
# (build/tsan). A build folder is configured once, when it is new; later runs
# only build, and CMake configures again by itself when a list file changed.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

configure() {  # FOLDER [CMAKE ARGUMENTS...]
    local dir=$1
    shift
    [ -f "$dir/CMakeCache.txt" ] || cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

configure build/native
cmake --build build/native -j"$jobs" >/dev/null
configure build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
cmake --build build/windows -j"$jobs" >/dev/null
configure build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DQOB_SANITIZE=address,undefined"
cmake --build build/asan -j"$jobs" --target unit_tests contract_tests >/dev/null
configure build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQOB_SANITIZE=thread
cmake --build build/tsan -j"$jobs" --target unit_tests contract_tests >/dev/null
