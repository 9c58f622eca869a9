#!/usr/bin/env bash
# The console examination of the classes, type libraries and interfaces
# under Wine, on a written fixture; see sections_fixture.py.
#   sections_fixture.sh SCANNER.exe FIXTURE_DIR
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wineenv.sh"
exec python3 "$here/sections_fixture.py" "$@"
