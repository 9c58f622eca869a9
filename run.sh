#!/usr/bin/env bash
# Builds the program and opens it on the demo registry: a Wine prefix seeded
# with example registrations, healthy ones and broken ones of every kind.
# On a screen the window stays until you close it. Without one the program
# runs on a virtual screen: the script waits for the scan, saves a screenshot
# of the window, prints its path and ends the program.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
tools/build.sh
export WINEPREFIX=$PWD/build/wine/demo-prefix
source tests/wine/wineenv.sh
source tests/wine/guienv.sh
qob_wine_prefix_ready
if [ ! -f "$WINEPREFIX/.qob-demo" ]; then
    python3 tests/wine/seedfiles.py "$WINEPREFIX" demo/demo.files
    qob_wine_import demo/demo.reg
    touch "$WINEPREFIX/.qob-demo"
fi
qob_gui_prefix_ready
program=build/windows/QobTessavin.exe
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Qob Tessavin is open on $DISPLAY; close its window to end."
    wine "$program"
    wineserver -w
    exit 0
fi

export QOB_OWN_XVFB=1
trap 'qob_gui_stop' EXIT
qob_gui_start
wine "$program" >/dev/null 2>&1 &
if ! wine build/windows/QobDriver.exe wait-ready 120000; then
    echo "run.sh: the window did not become ready within 120 s" >&2
    exit 1
fi
shot=$PWD/build/qobtessavin-demo.png
import -window root "$shot"
wine build/windows/QobDriver.exe close 10000 || true
echo "No display: the program ran on a virtual screen. Screenshot of its window: $shot"
