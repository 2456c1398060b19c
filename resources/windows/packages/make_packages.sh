#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes Gradolux's Windows packages from a built Gradolux.exe: the zip (the
# program, the licence and a short German read-me) and the German installer,
# each with its SHA-256 sum in SHA256SUMS.
#   make_packages.sh VERSION GRADOLUX_EXE ICON LICENCE README INSTALLER_SCRIPT OUTPUT_DIR
set -euo pipefail
version=$1 exe=$2 icon=$3 licence=$4 readme=$5 installer_script=$6 output=$7
name=gradolux-$version-windows-x64

stage=$output/stage
rm -rf "$output"
mkdir -p "$stage/$name"
cp "$exe" "$stage/$name/Gradolux.exe"
# Texts for Windows: CRLF line ends, and a byte-order mark so that every
# editor reads the umlauts of the read-me as UTF-8.
sed 's/$/\r/' "$licence" >"$stage/$name/LIZENZ.txt"
{
    printf '\xef\xbb\xbf'
    sed 's/$/\r/' "$readme"
} >"$stage/$name/LIESMICH.txt"

(cd "$stage" && zip -q -X -r "../$name.zip" "$name")

cp "$icon" "$stage/$name/gradolux.ico"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSOURCE="$stage/$name" \
    -DOUTFILE="$output/$name-setup.exe" "$installer_script"

rm -rf "$stage"
(cd "$output" && sha256sum "$name.zip" "$name-setup.exe" >SHA256SUMS)
ls -l "$output"
