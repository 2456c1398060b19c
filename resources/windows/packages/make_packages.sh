#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes Gradolux's Windows packages from a built Gradolux.exe: the zip (the
# program, the licence and a short German read-me), the German installer
# (NSIS) and the Windows Installer package for software deployment (MSI),
# each with its SHA-256 sum in SHA256SUMS.
#   make_packages.sh VERSION GRADOLUX_EXE ICON LICENCE README INSTALLER_SCRIPT MSI_SOURCE MSI_PACKAGE_CODE OUTPUT_DIR
#
# Reproducible: the zip's and the MSI's times are SOURCE_DATE_EPOCH (else
# the time of the last commit), so one commit gives the same bytes.
#
# Signed when a certificate is given (see sign_file.sh): GRADOLUX_SIGN_PKCS12
# names a PKCS#12 file, GRADOLUX_SIGN_PASSWORD holds its password, and
# GRADOLUX_SIGN_TIMESTAMP optionally a time-stamp server. Then Gradolux.exe (a
# signed copy; the built file stays as it is), the installer, its uninstaller
# and the MSI are signed.
set -euo pipefail
version=$1 exe=$2 icon=$3 licence=$4 readme=$5 installer_script=$6 msi_source=$7 package_code=$8 output=$9
here=$(cd "$(dirname "$0")" && pwd)
name=gradolux-$version-windows-x64

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || echo 315532800)}
export SOURCE_DATE_EPOCH=$epoch

signing=()
if [[ -n "${GRADOLUX_SIGN_PKCS12:-}" ]]; then
    [[ -f "$GRADOLUX_SIGN_PKCS12" ]] || { echo "make_packages: no certificate at $GRADOLUX_SIGN_PKCS12" >&2; exit 1; }
    signing=(bash "$here/sign_file.sh")
    echo "make_packages: signing with $GRADOLUX_SIGN_PKCS12"
else
    echo "make_packages: no certificate given (GRADOLUX_SIGN_PKCS12): the packages are not signed"
fi
sign() {
    ((${#signing[@]} == 0)) || "${signing[@]}" "$1"
}

stage=$output/stage
rm -rf "$output"
mkdir -p "$stage/$name"
cp "$exe" "$stage/$name/Gradolux.exe"
sign "$stage/$name/Gradolux.exe"
# Texts for Windows: CRLF line ends, and a byte-order mark so that every
# editor reads the umlauts of the read-me as UTF-8.
sed 's/$/\r/' "$licence" >"$stage/$name/LIZENZ.txt"
{
    printf '\xef\xbb\xbf'
    sed 's/$/\r/' "$readme"
} >"$stage/$name/LIESMICH.txt"

# The zip: fixed times, names in a fixed order, no owners or extra times.
touch -h -d "@$epoch" "$stage/$name" "$stage/$name"/*
(cd "$stage" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X "../$name.zip" -@)

cp "$icon" "$stage/$name/gradolux.ico"
nsis_signing=()
((${#signing[@]} == 0)) || nsis_signing=(-DSIGN="bash $here/sign_file.sh")
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSOURCE="$stage/$name" \
    -DOUTFILE="$output/$name-setup.exe" "${nsis_signing[@]}" "$installer_script"

# wixl takes the files from the folder it runs in.
(cd "$stage/$name" && wixl --arch x64 --output "$output/$name.msi" "$msi_source")
python3 "$here/settle_msi_summary.py" "$output/$name.msi" "$package_code" 1031 "$epoch"
sign "$output/$name.msi"

rm -rf "$stage"
(cd "$output" && sha256sum "$name.zip" "$name-setup.exe" "$name.msi" >SHA256SUMS)
ls -l "$output"
