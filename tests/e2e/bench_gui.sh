#!/usr/bin/env bash
# Prints the figures of the GUI benchmark (not a test):
# - start of QobTessavin.exe to its filled tree shown, on a prefix with
#   20,000 extra ProgIDs (each with a class key, a server that exists and a
#   type library), three runs;
# - a search that matches nothing on that prefix, from Find Next to the
#   not-found message, three runs;
# - filling the tree view with a 200,000-node tree and searching it, in process.
#   bench_gui.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:?usage: bench_gui.sh BUILD_DIR}" && pwd)
export WINEPREFIX=${WINEPREFIX:-$build/wine-bench-prefix}
source "$here/../wine/wineenv.sh"
source "$here/../wine/guienv.sh"
export QOB_OWN_XVFB=1
trap 'qob_gui_stop' EXIT
qob_gui_start
count=20000
if [ ! -f "$WINEPREFIX/.qob-bench-$count" ]; then
    qob_wine_reset
    reg=$(mktemp --suffix=.reg)
    python3 - "$reg" "$count" <<'PY'
import sys
out, count = sys.argv[1], int(sys.argv[2])
lines = ["Windows Registry Editor Version 5.00", ""]
lib = "{0B0B7000-0000-4000-8000-000000000000}"
lines += [f"[HKEY_CLASSES_ROOT\\TypeLib\\{lib}\\1.0]", '@="Bench library"', ""]
for i in range(count):
    clsid = "{0B0B%04X-%04X-4000-8000-000000000000}" % (i >> 16, i & 0xFFFF)
    lines += [f"[HKEY_CLASSES_ROOT\\Qob.Bench.{i:05d}]", f'@="Benchmark registration {i}"',
              f"[HKEY_CLASSES_ROOT\\Qob.Bench.{i:05d}\\CLSID]", f'@="{clsid}"',
              f"[HKEY_CLASSES_ROOT\\CLSID\\{clsid}\\InprocServer32]", '@="C:\\\\windows\\\\system32\\\\ole32.dll"',
              f"[HKEY_CLASSES_ROOT\\CLSID\\{clsid}\\TypeLib]", f'@="{lib}"', ""]
with open(out, "w", encoding="utf-8", newline="\r\n") as f:
    f.write("\n".join(lines) + "\n")
PY
    qob_wine_import "$reg"
    rm -f "$reg"
    wineserver -w
    touch "$WINEPREFIX/.qob-bench-$count"
fi
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), Wine $(wine --version)"
echo "start to filled tree shown, $count ProgIDs added to a fresh prefix (seconds):"
for run in 1 2 3; do
    wine "$build/QobDriver.exe" time-start "$(winepath -w "$build/QobTessavin.exe")" 300000
    [ "$run" = 3 ] || wine "$build/QobDriver.exe" close 10000 >/dev/null
done
echo "search matching nothing, Find Next to the not-found message (seconds):"
for run in 1 2 3; do
    wine "$build/QobDriver.exe" time-search "no such text" 120000
done
wine "$build/QobDriver.exe" close 10000 >/dev/null
echo "tree view fill and search, in process:"
wine "$build/TreeFillBench.exe" 20000
