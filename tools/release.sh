#!/usr/bin/env bash
# Builds the programs and writes the release archive
# build/windows/QobTessavin-<version>.zip: QobTessavin.exe, QobTessavinScan.exe,
# the tutorial pages tutor.htm (Japanese) and tutor-en.htm (English) with their
# pictures (tutor_files/) and readme.txt.
# The version is the project's VERSION in CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
cmake --build build/windows --target release >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
echo "$PWD/build/windows/QobTessavin-$version.zip"
