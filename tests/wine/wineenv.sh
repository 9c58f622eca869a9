# Shared Wine settings for the tests and the run command. Source it.
export LANG=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
: "${QOB_BUILD:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build}"
: "${WINEPREFIX:=$QOB_BUILD/wine/test-prefix}"
export WINEPREFIX QOB_BUILD

# Makes $WINEPREFIX once (a fresh prefix for programs without windows) and
# keeps a pristine copy of its registry for qob_wine_reset.
qob_wine_prefix_ready() {
    if [ -f "$WINEPREFIX/.qob-ready" ]; then
        return 0
    fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.qob-ready" ]; then
            rm -rf "$WINEPREFIX"
            wineboot -i >/dev/null 2>&1 || true
            wineserver -w
            for f in system.reg user.reg userdef.reg; do cp "$WINEPREFIX/$f" "$WINEPREFIX/$f.pristine"; done
            touch "$WINEPREFIX/.qob-ready"
        fi
    ) 9>"$WINEPREFIX.lock"
}

# Puts the prefix's registry back as it was when the prefix was made.
qob_wine_reset() {
    qob_wine_prefix_ready
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    for f in system.reg user.reg userdef.reg; do cp "$WINEPREFIX/$f.pristine" "$WINEPREFIX/$f"; done
}

# Imports a registry file written in UTF-8 (converted to UTF-16LE with a BOM,
# the only form reg import reads faithfully).
qob_wine_import() {
    local src=$1 tmp
    tmp=$(mktemp --suffix=.reg)
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$src"; } > "$tmp"
    wine reg import "$(winepath -w "$tmp")" >/dev/null 2>&1
    local rc=$?
    rm -f "$tmp"
    return $rc
}
