#!/usr/bin/env bash
# The restart as administrator under Wine: Wine runs every program elevated
# (nothing is offered), and the restart's shell call goes out with the verb
# "runas", as Wine's trace of ShellExecuteExW (channel exec) shows.
#   elevation_restart.sh ELEVATIONPROBE.exe
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wineenv.sh"
qob_wine_prefix_ready || exit 1
probe=$1
out=$(WINEDEBUG=-all,+exec wine "$probe" restart 2>"${TMPDIR:-/tmp}/qob-elevation.$$")
trace=$(cat "${TMPDIR:-/tmp}/qob-elevation.$$")
rm -f "${TMPDIR:-/tmp}/qob-elevation.$$"
echo "$out"
status=0
grep -q '^elevated=1 .*offered=0' <<<"$out" || { echo "FAILED: expected an elevated token, no offer"; status=1; }
grep -q '^restart=0' <<<"$out" || { echo "FAILED: the restart did not start the program"; status=1; }
grep -iq 'verb=L"runas"' <<<"$trace" || {
    echo "FAILED: no ShellExecuteExW with the verb runas in the trace"
    grep -i 'runas\|ShellExecute' <<<"$trace" | head -5
    status=1
}
exit $status
