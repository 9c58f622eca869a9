#!/usr/bin/env bash
# Runs every test: installs what is missing, builds, runs the native unit and
# contract tests (plain, under AddressSanitizer with UndefinedBehaviorSanitizer,
# and under ThreadSanitizer), then the contract and end-to-end tests under
# Wine. Ends with one line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")"
tools/setup.sh || exit 1
tools/build.sh || { echo "build failed"; echo "0 passed, 1 failed"; exit 1; }

passed=0
failed=0
count() {  # ctest's summary: "NN% tests passed, F tests failed out of T"
    local log=$1 line f t
    line=$(grep -E 'tests failed out of' "$log" | tail -n 1)
    if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + t - f))
    failed=$((failed + f))
}

mkdir -p build/logs
native() {  # BUILD-FOLDER LOG TITLE
    echo "== $3"
    ctest --test-dir "$1" -j"$(nproc)" --output-on-failure > "build/logs/$2.log" 2>&1
    grep -E 'tests passed|\*\*\*|^\s+[0-9]+ - ' "build/logs/$2.log"
    count "build/logs/$2.log"
}
native build/native native "native tests"
# Any finding of a sanitizer ends the test that made it with a failure.
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
native build/asan asan "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
native build/tsan tsan "native tests under ThreadSanitizer"
unset UBSAN_OPTIONS ASAN_OPTIONS TSAN_OPTIONS

echo "== Windows tests under Wine"
# In Japanese (code page 932), whatever the machine's locale.
unset LC_ALL
export LANG=ja_JP.UTF-8
source tests/wine/wineenv.sh
qob_wine_prefix_ready || echo "no Wine prefix: the tests under Wine will fail"
ctest --test-dir build/windows --output-on-failure --timeout 600 > build/logs/windows.log 2>&1
grep -E 'tests passed|\*\*\*|^\s+[0-9]+ - ' build/logs/windows.log
count build/logs/windows.log
wineserver -k 2>/dev/null || true

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
