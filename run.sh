#!/usr/bin/env bash
# Builds the program and opens it on the demo registry: a Wine prefix seeded
# with example registrations, healthy ones and broken ones of every kind.
# On a screen the window stays until you close it. Without one the program
# runs on a virtual screen: the script waits for the scan, saves a screenshot
# of the window, prints its path and ends the program.
# The program speaks the language of LANG: Japanese for ja_*, and when LANG
# names no language (unset, C, POSIX: wineenv.sh makes it ja_JP.UTF-8);
# English for any other.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
tools/build.sh
source tests/wine/wineenv.sh
# A prefix per language: a prefix keeps the fonts of the language it was
# made in.
export WINEPREFIX=$PWD/build/wine/demo-prefix$qob_language
source tests/wine/guienv.sh
qob_wine_prefix_ready
# Seeded once, and again whenever the demo registry changes.
seed=$(cat demo/demo.reg demo/demo.files | sha1sum | cut -c1-40)
if [ "$(cat "$WINEPREFIX/.qob-demo" 2>/dev/null)" != "$seed" ]; then
    qob_wine_reset
    python3 tests/wine/seedfiles.py "$WINEPREFIX" demo/demo.files
    qob_wine_import demo/demo.reg
    echo "$seed" > "$WINEPREFIX/.qob-demo"
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
# Show a broken demo entry opened, as a user would: type its name into the
# tree (incremental search) and open it with the keypad's *.
xdotool type --delay 30 "Demo.Orphan"
xdotool key KP_Multiply
sleep 1
shot=$PWD/build/qobtessavin-demo.png
import -window root "$shot"
echo "Faulty entries of the demo registry (from QobTessavinScan.exe --faulty):"
wine build/windows/QobTessavinScan.exe --faulty --utf8 | awk -F'\t' '$1 == 0 { print "  " $3 }'
echo
wine build/windows/QobDriver.exe close 10000 || true
echo "No display: the program ran on a virtual screen. Screenshot of its window: $shot"
