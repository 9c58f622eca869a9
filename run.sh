#!/usr/bin/env bash
# Builds the program and runs it on the demo registry: a Wine prefix seeded
# with example registrations, healthy ones and broken ones of every kind.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
tools/build.sh
export WINEPREFIX=$PWD/build/wine/demo-prefix
source tests/wine/wineenv.sh
qob_wine_prefix_ready
if [ ! -f "$WINEPREFIX/.qob-demo" ]; then
    python3 tests/wine/seedfiles.py "$WINEPREFIX" demo/demo.files
    qob_wine_import demo/demo.reg
    touch "$WINEPREFIX/.qob-demo"
fi
echo "Registrations of the demo registry (depth, icon: 0 normal, 1 faulty group, 2 faulty entry, text):"
wine build/windows/QobTessavinScan.exe | iconv -f CP932 -t UTF-8 | awk -F'\t' '$1 == 0 { keep = ($3 ~ /^(Demo|デモ)/) } keep'
echo
echo "Faulty entries:"
wine build/windows/QobTessavinScan.exe --faulty | iconv -f CP932 -t UTF-8 | grep -P '^0\t'
