# Shared Wine settings for the tests and the run command. Source it.

# Wine takes the user's language and the code page from the locale at each
# start: ja_JP.UTF-8 gives Japanese and code page 932, en_US.UTF-8 English
# and 1252. The caller's LANG (or LC_ALL) is kept when it names a language;
# none, C, C.UTF-8 or POSIX means Japanese. LANG alone then decides, so a
# stray LC_* setting cannot give Wine a second locale.
qob_wine_locale() {
    local l
    for l in "${LC_ALL:-}" "${LANG:-}"; do
        case $l in
            "" | C | C.* | POSIX | POSIX.*) ;;
            *) echo "$l"; return ;;
        esac
    done
    echo ja_JP.UTF-8
}
LANG=$(qob_wine_locale)
export LANG
unset LC_ALL LC_CTYPE LC_MESSAGES
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
: "${QOB_BUILD:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build}"
qob_language=${LANG%%_*}
[ "$qob_language" = ja ] && qob_language= || qob_language=-$qob_language
: "${WINEPREFIX:=$QOB_BUILD/wine/test-prefix$qob_language}"
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
# A prefix is made in the locale of LANG, and each language has its own:
# wineboot writes the fonts of the window metrics (menus, messages, captions:
# face, size and character set) for the locale it runs in, and they stay. All
# else (code page, language, font substitutes) follows the locale of each
# start, and one wineserver serves programs started in different locales.
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

# The ANSI code page Wine gives programs under this LANG, as iconv names it
# (CP932, CP1252, ...): what the A functions and a program's standard output
# use. Wine writes it into the registry at each start.
qob_wine_codepage() {
    local acp
    acp=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null |
        tr -d '\r' | awk '$1 == "ACP" { print $3 }')
    echo "CP${acp:-932}"
}

# Imports a registry file written in UTF-8 (converted to UTF-16LE with a BOM,
# the only form reg import reads faithfully).
qob_wine_import() {
    local src=$1 tmp
    tmp=$(mktemp --suffix=.reg)
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$src"; } > "$tmp"
    # An import right after the prefix was reset has failed now and then (a
    # run of the whole suite on a fresh clone); made again it gives the same
    # registry, so it gets three tries.
    local rc _
    for _ in 1 2 3; do
        wine reg import "$(winepath -w "$tmp")" >/dev/null 2>&1
        rc=$?
        [ "$rc" -eq 0 ] && break
        sleep 1
    done
    rm -f "$tmp"
    return $rc
}
