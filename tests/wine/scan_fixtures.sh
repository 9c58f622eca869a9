#!/usr/bin/env bash
# Runs QobTessavinScan.exe under Wine on each seeded fixture prefix and
# compares what it prints with the fixture's expected tree.
#   scan_fixtures.sh [--utf8] SCANNER.exe FIXTURE_DIR [NAME...]
# (--utf8: under the Japanese and the English locale, see scan_fixtures.py)
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wineenv.sh"
exec python3 "$here/scan_fixtures.py" "$@"
