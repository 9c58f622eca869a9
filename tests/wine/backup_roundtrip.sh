#!/usr/bin/env bash
# The removal's backup under Wine: keys of every kind and a file backed up,
# deleted and restored with --restore (and by importing the .reg file as a
# double click does); see backup_roundtrip.py.
#   backup_roundtrip.sh SCANNER.exe BACKUPPROBE.exe FIXTURE.reg
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wineenv.sh"
exec python3 "$here/backup_roundtrip.py" "$@"
