#!/usr/bin/env bash
# Runs a command with a Wine prefix made for windows and an Xvfb screen of its
# own, and takes both down afterwards: wineserver and Xvfb never outlive it.
#   run_gui.sh COMMAND [ARGS...]
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../wine/wineenv.sh"
source "$here/../wine/guienv.sh"
export QOB_OWN_XVFB=${QOB_OWN_XVFB:-1}
trap 'qob_gui_stop' EXIT
qob_gui_start || exit 1
"$@"
