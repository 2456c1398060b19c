#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the page's package from a built page folder: gradolux-VERSION-web.zip
# holding the folder gradolux-VERSION-web (the page's files and a short
# German read-me), with its SHA-256 sum in SHA256SUMS.
#   make_package.sh VERSION PAGE_DIR README OUTPUT_DIR
# Reproducible: every time in the zip is SOURCE_DATE_EPOCH (else the time of
# the last commit), so one commit gives the same bytes.
set -euo pipefail
version=$1 page=$2 readme=$3 output=$4
here=$(cd "$(dirname "$0")" && pwd)
name=gradolux-$version-web

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || echo 315532800)}

stage=$output/stage
rm -rf "$output"
mkdir -p "$stage/$name"
for file in index.html gradolux.js gradolux-page.js gradolux.css gradolux-32.png gradolux-sans.woff2 \
    gradolux-sans-bold.woff2; do
    cp "$page/$file" "$stage/$name/$file"
done
# CRLF line ends and a byte-order mark, so that any editor on any system
# shows the umlauts.
{
    printf '\xef\xbb\xbf'
    sed 's/$/\r/' "$readme"
} >"$stage/$name/LIESMICH.txt"

# Fixed times, names in a fixed order, no owners or extra times.
chmod 644 "$stage/$name"/*
touch -h -d "@$epoch" "$stage/$name" "$stage/$name"/*
(cd "$stage" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X "../$name.zip" -@)
(cd "$output" && sha256sum "$name.zip" >SHA256SUMS)
# The time it was made with, to make it again.
echo "$epoch" >"$output/SOURCE_DATE_EPOCH"
rm -rf "$stage"
echo "make_package: $output/$name.zip"
