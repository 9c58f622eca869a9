#!/usr/bin/env bash
# Runs a Windows program under Wine in the test prefix (made on first use):
# in the caller's locale (Japanese, code page 932, unless LANG names another
# language), no debug output. Used as the emulator of the Windows build's
# tests, and by the test scripts.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wineenv.sh"
qob_wine_prefix_ready
exec wine "$@"
