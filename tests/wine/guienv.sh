# Windows on a screen for the tests and the run command: Xvfb, and a Wine
# virtual desktop with the Japanese fonts mapped. Source it after wineenv.sh.

# The screen's size, WIDTH<sep>HEIGHT: 1024 x 768 at 100%, and as many
# pixels more at another scale (QOB_TEST_DPI) as a display of that scale has,
# so that the screen holds what it holds at 100%.
qob_gui_screen_size() {
    local dpi=${QOB_TEST_DPI:-96}
    echo "$((1024 * dpi / 96))$1$((768 * dpi / 96))"
}

# Sets the prefix up for windows once: a virtual desktop of 1024 x 768 (bare
# Xvfb loses keys and title bars) and the Japanese faces mapped to IPA fonts.
# The mapping serves every locale: under en_US it is what draws Japanese
# names in menus and controls, through Wine's fallback from Tahoma to
# "MS UI Gothic"; without it they show as boxes.
qob_gui_prefix_ready() {
    qob_wine_prefix_ready
    # Wine finds its own fonts (Marlett draws the caption buttons) only in
    # the prefix's Fonts folder here.
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    [ -f "$WINEPREFIX/.qob-gui" ] && return 0
    local tmp
    tmp=$(mktemp --suffix=.reg)
    cat > "$tmp.txt" <<REG
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="$(qob_gui_screen_size x)"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS Gothic"="IPAGothic"
REG
    # A prefix for a display at another scale (QOB_TEST_DPI, e.g. 144 for
    # 150%): Wine takes the DPI from this value of the user's desktop.
    if [ -n "${QOB_TEST_DPI:-}" ]; then
        printf '\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$QOB_TEST_DPI" >> "$tmp.txt"
    fi
    qob_wine_import "$tmp.txt"
    rm -f "$tmp" "$tmp.txt"
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    # The pristine registry keeps the desktop settings for qob_wine_reset.
    for f in user.reg; do cp "$WINEPREFIX/$f" "$WINEPREFIX/$f.pristine"; done
    touch "$WINEPREFIX/.qob-gui"
}

# Starts Xvfb on a free display unless DISPLAY already works (QOB_OWN_XVFB=1
# forces one of our own). Exports DISPLAY and QOB_XVFB_PID.
qob_gui_start() {
    qob_gui_prefix_ready
    if [ -z "${QOB_OWN_XVFB:-}" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 "$(qob_gui_screen_size x)x24" -nolisten tcp >/dev/null 2>&1 &
        QOB_XVFB_PID=$!
        export DISPLAY=":$n" QOB_XVFB_PID
        local i
        for i in $(seq 100); do
            xdpyinfo >/dev/null 2>&1 && return 0
            kill -0 "$QOB_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
    done
    echo "qob_gui_start: no Xvfb display" >&2
    return 1
}

qob_gui_stop() {
    wineserver -k 2>/dev/null || true
    if [ -n "${QOB_XVFB_PID:-}" ]; then
        kill "$QOB_XVFB_PID" 2>/dev/null || true
        wait "$QOB_XVFB_PID" 2>/dev/null || true
        unset QOB_XVFB_PID
    fi
}
