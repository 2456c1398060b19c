#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Two builds of the same sources give the same Gradolux.exe and the same
# packages (zip, installer, MSI), byte for byte: builds the program and its
# packages a second time in another folder (as the windows preset does,
# without tests), at another time, and compares them with the first.
#   reproducible_test.sh SOURCE_DIR FIRST_EXE ICON_MAKER SECOND_BUILD_DIR
set -euo pipefail
source=$1 first=$2 icon_maker=$3 second=$4

rm -rf "$second"
cmake -S "$source" -B "$second" -G Ninja --toolchain "$source/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DGRADOLUX_ICON_MAKER="$icon_maker" >"$second.log" 2>&1 ||
    { cat "$second.log"; exit 1; }
cmake --build "$second" --target windows_packages >>"$second.log" 2>&1 || { cat "$second.log"; exit 1; }
if ! cmp "$first" "$second/Gradolux.exe"; then
    echo "FAIL: two builds of the same sources differ" >&2
    exit 1
fi
echo "Gradolux.exe built twice, in $(dirname "$first") and $second: identical ($(stat -c %s "$first") bytes)"
status=0
for package in "$(dirname "$first")"/packages/*; do
    if cmp "$package" "$second/packages/$(basename "$package")"; then
        echo "$(basename "$package") made twice: identical"
    else
        echo "FAIL: $(basename "$package") differs between the two builds" >&2
        status=1
    fi
done
((status == 0)) && rm -rf "$second" "$second.log"
exit $status
