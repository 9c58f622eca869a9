# Shared Wine settings for the tests and the run command. Source it.
# The caller's locale; Japanese when it names none.
case "${LANG:-}" in
"" | C | POSIX | C.UTF-8 | C.utf8) export LANG=ja_JP.UTF-8 ;;
*) export LANG ;;
esac
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
: "${QOB_BUILD:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build}"
: "${WINEPREFIX:=$QOB_BUILD/wine/test-prefix}"
export WINEPREFIX QOB_BUILD

# True when the registry files given (system.reg, user.reg, or their pristine
# copies) hold keys that every booted prefix has. wineboot can fail on a
# loaded machine and leave files of a few hundred bytes.
qob_wine_registry_sound() {
    local system=$1 user=$2
    grep -qF '[Software\\Classes\\CLSID]' "$system" 2>/dev/null &&
        grep -qF '[Software\\Microsoft\\Windows NT\\CurrentVersion]' "$system" &&
        grep -qF '[Control Panel\\Desktop]' "$user" 2>/dev/null
}

# Makes $WINEPREFIX once (a fresh prefix for programs without windows) and
# keeps a pristine copy of its registry for qob_wine_reset. A prefix whose
# registry lacks the keys of a booted one is made again, once; if that fails
# too, the function says so and fails.
qob_wine_prefix_ready() {
    if [ -f "$WINEPREFIX/.qob-ready" ] &&
        qob_wine_registry_sound "$WINEPREFIX/system.reg.pristine" "$WINEPREFIX/user.reg.pristine"; then
        return 0
    fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        [ -f "$WINEPREFIX/.qob-ready" ] &&
            qob_wine_registry_sound "$WINEPREFIX/system.reg.pristine" "$WINEPREFIX/user.reg.pristine" &&
            exit 0
        for attempt in 1 2; do
            wineserver -k 2>/dev/null || true
            rm -rf "$WINEPREFIX"
            wineboot -i >/dev/null 2>&1 || true
            wineserver -w
            if qob_wine_registry_sound "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg"; then
                for f in system.reg user.reg userdef.reg; do cp "$WINEPREFIX/$f" "$WINEPREFIX/$f.pristine"; done
                touch "$WINEPREFIX/.qob-ready"
                exit 0
            fi
            echo "qob_wine_prefix_ready: wineboot left $WINEPREFIX without a registry (attempt $attempt of 2)" >&2
        done
        echo "qob_wine_prefix_ready: no usable Wine prefix in $WINEPREFIX; see 'wineboot -i' there" >&2
        exit 1
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
