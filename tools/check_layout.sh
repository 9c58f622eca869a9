#!/usr/bin/env bash
# Checks the layout of the sources: that the folders include one way, from
# the shell down to the ground floor, and that no source file of the
# programs is over 500 lines but the table of texts. Prints each include
# that goes up or sideways where it may not and each file too long, and
# fails when there is one.
#
#   app/                                  the shell: may include everything below
#   removal/ search/ extras/ sections/    the features: no header of app/
#   console/                              the console program: no window code
#   forms/                                the window kit: catalogue/, texts/,
#                                         interaction/, resources/ only
#   catalogue/                            the ground floor: texts/ only
#   texts/ interaction/ resources/        nothing of the other folders
set -uo pipefail
cd "$(dirname "$0")/.."

status=0
# FOLDER ALLOWED-FOLDERS...: each project include of the folder's sources
# must name the folder itself or one of the allowed ones.
allow() {
    local folder=$1
    shift
    local pattern="^(${folder}$(printf '|%s' "$@"))/"
    local line file target
    while IFS= read -r line; do
        file=${line%%:*}
        target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"${line#*:}")
        case $target in
            */*) ;;
            *) continue ;;  # a header the build writes (QobBuildInfo.h)
        esac
        if ! [[ $target =~ $pattern ]]; then
            echo "$file includes $target"
            status=1
        fi
    done < <(grep -H '^#include "' "$folder"/*.h "$folder"/*.cpp 2>/dev/null)
}

allow app catalogue texts interaction resources forms removal search extras sections
allow removal catalogue texts interaction resources forms
allow search catalogue texts interaction resources forms
allow extras catalogue texts interaction resources forms
allow sections catalogue texts interaction resources forms removal
allow console catalogue texts interaction removal sections
allow forms catalogue texts interaction resources
allow catalogue texts
allow texts
allow interaction

for file in app/* catalogue/* console/* extras/* forms/* interaction/* removal/* search/* sections/* texts/*; do
    case $file in
        *.cpp | *.h) ;;
        *) continue ;;
    esac
    [ "$file" = texts/Texts.cpp ] && continue
    lines=$(wc -l <"$file")
    if [ "$lines" -gt 500 ]; then
        echo "$file has $lines lines"
        status=1
    fi
done
exit $status
