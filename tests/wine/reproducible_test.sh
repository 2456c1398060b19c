#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Two builds of the same sources give the same Gradolux.exe, byte for byte:
# builds the program a second time in another folder (as the windows preset
# does, without tests) and compares it with the first.
#   reproducible_test.sh SOURCE_DIR FIRST_EXE ICON_MAKER SECOND_BUILD_DIR
set -euo pipefail
source=$1 first=$2 icon_maker=$3 second=$4

rm -rf "$second"
cmake -S "$source" -B "$second" -G Ninja --toolchain "$source/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DGRADOLUX_ICON_MAKER="$icon_maker" >"$second.log" 2>&1 ||
    { cat "$second.log"; exit 1; }
cmake --build "$second" --target Gradolux >>"$second.log" 2>&1 || { cat "$second.log"; exit 1; }
if ! cmp "$first" "$second/Gradolux.exe"; then
    echo "FAIL: two builds of the same sources differ" >&2
    exit 1
fi
echo "Gradolux.exe built twice, in $(dirname "$first") and $second: identical ($(stat -c %s "$first") bytes)"
rm -rf "$second" "$second.log"
