#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine (as root),
# once: later runs find everything in place and return at once.
set -euo pipefail
packages=(cmake make g++ googletest mingw-w64 wine wine64 xvfb xauth xdotool x11-utils
          fonts-wine fonts-ipafont-gothic locales imagemagick python3 libxfixes3)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# The program's texts follow the user's language: Japanese, and English for
# everyone else; Wine takes the language and the code page from LANG.
generate=
for loc in ja_JP en_US; do
    if ! locale -a 2>/dev/null | grep -qi "^$loc.utf8$"; then
        grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null || echo "$loc.UTF-8 UTF-8" >> /etc/locale.gen
        generate=1
    fi
done
if [ -n "${generate:-}" ]; then
    locale-gen >/dev/null
fi
