#!/usr/bin/env bash
# End-to-end scenarios of the message dialog and the error report under Wine
# on Xvfb, driven with real keys and clicks (xdotool) and looked at from
# outside (DialogDriver, DialogCursor.py).
#
#   DialogTests.sh SCENARIO DialogHost.exe DialogDriver.exe OUTDIR
#
# Each scenario runs on an Xvfb of its own. Outputs and screenshots go to
# OUTDIR. The Wine prefix is $WINEPREFIX, or one beside the programs.
set -u
scenario=$1 host=$2 driver=$3 out=$4
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
: "${WINEPREFIX:=$(cd "$(dirname "$host")" && pwd)/wine/dialog-prefix}"
export WINEPREFIX QOB_OWN_XVFB=1
source "$here/../wine/wineenv.sh"
source "$here/../wine/guienv.sh"
mkdir -p "$out"
log="$out/$scenario"
host_pid=

cleanup() {
    [ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null
    qob_gui_stop
}
trap cleanup EXIT

fail() {
    echo "FAIL ($scenario): $*" >&2
    [ -f "$log.host.txt" ] && sed 's/^/  host: /' "$log.host.txt" >&2
    exit 1
}
check() {  # check DESCRIPTION ACTUAL EXPECTED
    [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
    echo "ok: $1 = $3"
}

qob_gui_start || fail "no display"

# Starts the host with the given arguments; its output goes to $log.host.raw.
start_host() {
    : > "$log.host.raw"
    wine "$host" "$@" > "$log.host.raw" 2>/dev/null &
    host_pid=$!
}
# The host and the driver write UTF-8 with CR LF line ends.
from_wine() { tr -d '\r'; }
host_output() { from_wine < "$log.host.raw" > "$log.host.txt" 2>/dev/null; cat "$log.host.txt"; }
# Waits up to 20 s for the host's "result=" line and prints its fields.
host_result() {
    local i
    for i in $(seq 200); do
        grep -q '^result=' "$log.host.raw" 2>/dev/null && break
        sleep 0.1
    done
    host_output | grep '^result=' | head -1
}
field() { grep "^$1=" "$2" | head -1 | cut -d= -f2-; }
# Waits for the dialog and writes what the driver sees to $log.dialog.txt.
describe_dialog() {
    wine "$driver" dialog 20000 | from_wine > "$log.dialog.txt" || fail "no dialog appeared"
}
describe_errorbox() {
    wine "$driver" errorbox 20000 | from_wine > "$log.dialog.txt" || fail "no error report appeared"
}
dialog_gone() { wine "$driver" gone "${1:-20000}"; }
# The button of a given caption: "id left" from the dialog description.
button() { grep "^child=Button|" "$log.dialog.txt" | awk -F'|' -v c="$1" '$4 == c { split($3, r, ","); print $2, r[1] }'; }
pointer() { python3 "$here/DialogCursor.py"; }
# Waits until the pointer's hotspot is the given one; prints the last seen.
wait_pointer() {
    local i seen
    for i in $(seq 50); do
        seen=$(pointer)
        [ "$seen" = "$1" ] && break
        sleep 0.1
    done
    echo "$seen"
}
# Waits up to 20 s for the host process to end and checks its exit code
# (in this shell: only it can wait for the host).
check_host_exit() {
    local i rc=running
    for i in $(seq 200); do
        kill -0 "$host_pid" 2>/dev/null || break
        sleep 0.1
    done
    if ! kill -0 "$host_pid" 2>/dev/null; then
        wait "$host_pid"
        rc=$?
        host_pid=
    fi
    check "host exit code" "$rc" "${1:-0}"
}
# Runs one dialog, answers it with the given xdotool action, checks the result.
answer() {  # answer KIND BUTTONS TEXT EXPECTED ACTION...
    local kind=$1 buttons=$2 text=$3 expected=$4
    shift 4
    start_host "$kind" "$buttons" "$text"
    describe_dialog
    "$@"
    check "result after '$*'" "$(host_result | sed 's/^result=\([0-9-]*\).*/\1/')" "$expected"
    check_host_exit
}
click_closebox() {
    local at
    at=$(field closebox "$log.dialog.txt")
    [ -n "$at" ] || fail "no close box"
    xdotool mousemove "${at%,*}" "${at#*,}" click 1
}

yesno_text='HKEY_CLASSES_ROOT\\Qob.Sample\rを削除しますか'
ok_text='このキーにエラーはありません。削除しますか？'

case $scenario in
yesno_keys)
    start_host 2 3 "$yesno_text"
    describe_dialog
    check caption "$(field caption "$log.dialog.txt")" "情報"
    read -r yes_id yes_left <<<"$(button 'はい(&Y)')"
    read -r no_id no_left <<<"$(button 'いいえ(&N)')"
    check "Yes id" "$yes_id" 100
    check "No id" "$no_id" 101
    check "Yes left of No" "$([ "$yes_left" -lt "$no_left" ] && echo yes)" yes
    check "buttons" "$(grep -c '^child=Button' "$log.dialog.txt")" 2
    check "focus on Yes" "$(field focus "$log.dialog.txt")" 100
    check "main window disabled" "$(field host-enabled "$log.dialog.txt")" 0
    check "icon shown" "$(grep -c '^child=Static|' "$log.dialog.txt")" 1
    import -window root "$out/dialog-yesno.png"
    xdotool key Return
    result=$(host_result)
    check "Enter" "$(sed 's/^result=\([0-9-]*\).*/\1/' <<<"$result")" 6
    ticks=$(sed 's/.*ticks=\([0-9]*\).*/\1/' <<<"$result")
    # The count starts when the dialog opens: any tick came through its loop.
    check "timer ticked while open" "$([ "$ticks" -gt 0 ] && echo yes)" yes
    check_host_exit
    answer 2 3 "$yesno_text" 7 xdotool key Escape
    answer 1 3 "$ok_text" 6 xdotool key alt+y
    answer 1 3 "$ok_text" 2 xdotool key alt+F4
    ;;
yesno_closebox)
    answer 2 3 "$yesno_text" 2 click_closebox
    ;;
yesno_tab)
    # Tab moves the focus to No; Enter then presses the focused button.
    start_host 2 3 "$yesno_text"
    describe_dialog
    xdotool key Tab
    wine "$driver" dialog 2000 | from_wine > "$log.dialog2.txt"
    check "focus after Tab" "$(field focus "$log.dialog2.txt")" 101
    xdotool key Return
    check "Enter on No" "$(host_result | sed 's/^result=\([0-9-]*\).*/\1/')" 7
    check_host_exit
    ;;
ok_keys)
    start_host 1 4 "サブキーは削除できません。"
    describe_dialog
    check caption "$(field caption "$log.dialog.txt")" "ｴﾗｰ"
    check "OK button" "$(button OK | cut -d' ' -f1)" 102
    check "focus on OK" "$(field focus "$log.dialog.txt")" 102
    xdotool key Return
    check "Enter" "$(host_result | sed 's/^result=\([0-9-]*\).*/\1/')" 1
    check_host_exit
    answer 1 4 "サブキーは削除できません。" 1 xdotool key Escape
    ;;
ok_closebox)
    answer 1 4 "サブキーは削除できません。" 2 click_closebox
    ;;
empty_set)
    # No buttons: Enter and Escape do nothing; only the title bar ends it.
    start_host 3 0 "ボタンなし"
    describe_dialog
    check caption "$(field caption "$log.dialog.txt")" "確認"
    check "buttons" "$(grep -c '^child=Button' "$log.dialog.txt")" 0
    xdotool key Return Escape
    dialog_gone 1000 && fail "Enter or Escape closed a dialog without buttons"
    xdotool key alt+F4
    check "Alt+F4" "$(host_result | sed 's/^result=\([0-9-]*\).*/\1/')" 2
    check_host_exit
    ;;
text_lines)
    # The custom kind: the title as caption, no icon, text at the left margin.
    start_host 4 4 'Qob'
    describe_dialog
    check caption "$(field caption "$log.dialog.txt")" "Qob Tessavin"
    check "no icon" "$(grep -c '^child=Static|' "$log.dialog.txt")" 0
    one=$(grep '^child=TMessageText' "$log.dialog.txt" | cut -d'|' -f3)
    one_height=${one##*,}
    xdotool key Return; host_result >/dev/null; check_host_exit
    # A carriage return starts a second line.
    start_host 4 4 'Qob\rTessavin'
    describe_dialog
    two=$(grep '^child=TMessageText' "$log.dialog.txt" | cut -d'|' -f3)
    check "text left equals icon-less margin" "${two%%,*}" "${one%%,*}"
    check "two lines are twice as tall" "${two##*,}" $((2 * one_height))
    xdotool key Return; host_result >/dev/null; check_host_exit
    # A long text wraps at half the screen's width and the dialog grows taller.
    start_host 2 4 'ﾀﾞｲｱﾛｸﾞ ウィンドウ & 折り返し: \tこのメッセージはとても長いので、画面の幅の半分で折り返されて、何行にもわたって表示されます。ダイアログはその分だけ縦に大きくなり、ボタンはいつも一番下の中央に並びます。&&の後の文字には下線が付きません。'
    describe_dialog
    cp "$log.dialog.txt" "$log.long.txt"
    import -window root "$out/dialog-long-ok.png"
    long=$(grep '^child=TMessageText' "$log.dialog.txt" | cut -d'|' -f3)
    IFS=, read -r _ _ long_width long_height <<<"$long"
    screen=$(field screen "$log.dialog.txt")
    check "wrapped within half the screen" "$([ "$long_width" -le $((${screen%,*} / 2)) ] && echo yes)" yes
    check "wrapped onto 3 lines or more" "$([ "$long_height" -ge $((3 * one_height)) ] && echo yes)" yes
    IFS=, read -r wx wy ww wh <<<"$(field window "$log.dialog.txt")"
    check "centred horizontally" $(( (${screen%,*} - ww) / 2 )) "$wx"
    check "centred vertically" $(( (${screen#*,} - wh) / 2 )) "$wy"
    read -r ok_id ok_left <<<"$(button OK)"
    ok_width=$(grep "^child=Button|" "$log.dialog.txt" | cut -d'|' -f3 | cut -d, -f3)
    client_width=$(field client "$log.dialog.txt" | cut -d, -f3)
    check "button row centred" "$(( (client_width - ok_width) / 2 ))" "$ok_left"
    xdotool key Return; host_result >/dev/null; check_host_exit
    ;;
cursor_rule)
    # Hourglass before, the arrow while the dialog is open, the hourglass after.
    start_host --cursor -11 --open-at 300 --stay 2 3 "$yesno_text"
    for i in $(seq 100); do wine "$driver" host >/dev/null && break; sleep 0.1; done
    # Wine moves the X pointer's shape for a program once it had mouse input.
    xdotool mousemove 160 120
    check "hourglass before" "$(wait_pointer 11,11)" 11,11
    check "no dialog yet" "$(wine "$driver" gone 0 && echo none)" none
    describe_dialog
    xdotool mousemove 161 121
    check "arrow while open" "$(wait_pointer 4,4)" 4,4
    xdotool key Return
    result=$(host_result)
    check "cursor value after" "$(sed 's/.*cursor=//' <<<"$result")" -11
    xdotool mousemove 162 122
    check "hourglass after" "$(wait_pointer 11,11)" 11,11
    wine "$driver" close-main
    check_host_exit
    # Set during the dialog (even to the value in force): the default stays.
    start_host --cursor -11 --set-during -11 --stay 2 3 "$yesno_text"
    describe_dialog
    xdotool mousemove 160 120
    check "hourglass set while open" "$(wait_pointer 11,11)" 11,11
    xdotool key Escape
    result=$(host_result)
    check "cursor value after" "$(sed 's/.*cursor=//' <<<"$result")" 0
    xdotool mousemove 161 121
    check "arrow after" "$(wait_pointer 4,4)" 4,4
    wine "$driver" close-main
    check_host_exit
    ;;
terminate)
    # Closing the main window under the dialog ends the program.
    start_host 2 3 "$yesno_text"
    describe_dialog
    wine "$driver" close-main
    check "result" "$(host_result | sed 's/^result=\([0-9-]*\).*/\1/')" 2
    check_host_exit
    grep -q '^ended' "$log.host.raw" || fail "the main loop did not end"
    # The program told to end while the dialog is open (WM_QUIT taken by the
    # dialog's loop): the dialog gives 2 and the main loop ends too.
    start_host --quit-during 2 3 "$yesno_text"
    check "result" "$(host_result | sed 's/^result=\([0-9-]*\).*/\1/')" 2
    check_host_exit
    grep -q '^ended' "$log.host.raw" || fail "the main loop did not end after WM_QUIT"
    ;;
nested)
    # A timer tick opens a second dialog over the first one.
    start_host --nested 2 3 "$yesno_text"
    wine "$driver" dialog 20000 "ｴﾗｰ" | from_wine > "$log.dialog.txt" || fail "no inner dialog"
    check "dialogs open" "$(field dialogs "$log.dialog.txt")" 2
    check "inner dialog active" "$(field active "$log.dialog.txt")" dialog
    check "inner owned by the outer one" "$(field owner "$log.dialog.txt")" TMessageForm
    xdotool key Return
    wine "$driver" dialog 20000 "情報" | from_wine > "$log.outer.txt" || fail "outer dialog not enabled again"
    check "dialogs open" "$(field dialogs "$log.outer.txt")" 1
    check "outer dialog active again" "$(field active "$log.outer.txt")" dialog
    check "focus back on Yes" "$(field focus "$log.outer.txt")" 100
    xdotool key Escape
    check "outer result" "$(host_result | sed 's/^result=\([0-9-]*\).*/\1/')" 7
    check "inner result" "$(grep '^nested=' "$log.host.txt" | cut -d= -f2)" 1
    check_host_exit
    ;;
help_button)
    # Help (result 0) leaves the dialog open; the program has no help file.
    start_host 0 1028 "ヘルプ付き"
    describe_dialog
    check caption "$(field caption "$log.dialog.txt")" "警告"
    read -r ok_id ok_left <<<"$(button OK)"
    read -r help_id help_left <<<"$(button 'ﾍﾙﾌﾟ(&H)')"
    check "OK left of Help" "$([ "$ok_left" -lt "$help_left" ] && echo yes)" yes
    xdotool key alt+h
    dialog_gone 1000 && fail "Help closed the dialog"
    grep -q '^result=' "$log.host.raw" && fail "Help returned a result"
    xdotool key Return
    check "Enter after Help" "$(host_result | sed 's/^result=\([0-9-]*\).*/\1/')" 1
    check_host_exit
    ;;
error_report)
    start_host --error --stay 0 0 'ﾀｲﾏｰを取得できません'
    describe_errorbox
    check caption "$(field caption "$log.dialog.txt")" "Qob Tessavin"
    check "no owner" "$(field owner "$log.dialog.txt")" ""
    check "main window disabled" "$(field host-enabled "$log.dialog.txt")" 0
    grep -q '^child=Static|.*|ﾀｲﾏｰを取得できません\.$' "$log.dialog.txt" || fail "text with '.' not shown"
    import -window root "$out/error-report.png"
    xdotool key Return
    check "result" "$(host_result | sed 's/^result=\([0-9-]*\).*/\1/')" -1
    wine "$driver" host | from_wine > "$log.after.txt"
    check "main window enabled again" "$(field host-enabled "$log.after.txt")" 1
    check "main window active again" "$(field foreground "$log.after.txt")" host
    wine "$driver" close-main
    check_host_exit
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "PASS ($scenario)"
