#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes Gradolux's Windows packages from a built Gradolux.exe: the zip (the
# program, the licence and a short German read-me), the German installer
# (NSIS) and the Windows Installer package for software deployment (MSI),
# each with its SHA-256 sum in SHA256SUMS.
#   make_packages.sh VERSION GRADOLUX_EXE ICON LICENCE README INSTALLER_SCRIPT MSI_SOURCE MSI_PACKAGE_CODE
#                    MSI_UPGRADE_CODE MSI_GUARD CANCEL_PENDING_DELETES OUTPUT_DIR
# MSI_GUARD is the MSI's custom action (msi_guard.dll), CANCEL_PENDING_DELETES
# the installer's helper (cancel_pending_deletes.exe), MSI_UPGRADE_CODE the
# code by which the installer recognises the MSI's Gradolux.
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
version=$1 exe=$2 icon=$3 licence=$4 readme=$5 installer_script=$6 msi_source=$7 package_code=$8
upgrade_code=$9 guard=${10} cancel_pending=${11} output=${12}
here=$(cd "$(dirname "$0")" && pwd)
name=gradolux-$version-windows-x64

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || echo 315532800)}
export SOURCE_DATE_EPOCH=$epoch

signing=()
if [[ -n "${GRADOLUX_SIGN_PKCS12:-}" ]]; then
    [[ -f "$GRADOLUX_SIGN_PKCS12" ]] || { echo "make_packages: no certificate at $GRADOLUX_SIGN_PKCS12" >&2; exit 1; }
    signing=(bash "$here/sign_file.sh")
    echo "make_packages: signing with $GRADOLUX_SIGN_PKCS12"
    # A signed MSI is another package than the unsigned one of the same
    # version: its package code follows from the certificate too.
    fingerprint=$(openssl pkcs12 -in "$GRADOLUX_SIGN_PKCS12" -nokeys -passin fd:3 3< <(printf '%s' "${GRADOLUX_SIGN_PASSWORD:-}") |
        openssl x509 -noout -fingerprint -sha256)
    package_code=$(python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' \
        "$package_code" "signed $fingerprint")
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
# editor reads the umlauts as UTF-8.
# The licence: a German translation for reading, then the binding English text.
{
    printf '\xef\xbb\xbf'
    cat "$here/LIZENZ-Uebersetzung.txt" "$licence" | sed 's/$/\r/'
} >"$stage/$name/LIZENZ.txt"
{
    printf '\xef\xbb\xbf'
    sed 's/$/\r/' "$readme"
} >"$stage/$name/LIESMICH.txt"

# The zip: fixed times, names in a fixed order, no owners or extra times.
touch -h -d "@$epoch" "$stage/$name" "$stage/$name"/*
(cd "$stage" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X "../$name.zip" -@)

cp "$icon" "$stage/$name/gradolux.ico"
cp "$cancel_pending" "$stage/$name/cancel_pending_deletes.exe"
sign "$stage/$name/cancel_pending_deletes.exe"
# The installer keeps the time of each file it carries.
touch -d "@$epoch" "$stage/$name/cancel_pending_deletes.exe"
nsis_signing=()
((${#signing[@]} == 0)) || nsis_signing=(-DSIGN="bash $here/sign_file.sh")
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSOURCE="$stage/$name" -DMSI_UPGRADE_CODE="$upgrade_code" \
    -DOUTFILE="$output/$name-setup.exe" "${nsis_signing[@]}" "$installer_script"

# wixl takes the files from the folder it runs in.
cp "$guard" "$stage/$name/msi_guard.dll"
(cd "$stage/$name" && wixl --arch x64 --output "$output/$name.msi" "$msi_source")
# What wixl leaves out: Gradolux.exe's file version, so that Windows
# Installer's file versioning never puts an older program over a newer one
# (a versioned file has no hash), and the database's code page.
msi=$output/$name.msi
msibuild "$msi" -q "UPDATE \`File\` SET \`Version\` = '$version.0', \`Language\` = '1031' WHERE \`File\` = 'GradoluxExe'"
msibuild "$msi" -q "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = 'GradoluxExe'"
printf '\r\n\r\n1252\t_ForceCodepage\r\n' >"$stage/_ForceCodepage.idt"
msibuild "$msi" -i "$stage/_ForceCodepage.idt"
python3 "$here/settle_msi_summary.py" "$msi" "$package_code" 1031 "$epoch"
sign "$output/$name.msi"

rm -rf "$stage"
(cd "$output" && sha256sum "$name.zip" "$name-setup.exe" "$name.msi" >SHA256SUMS)
ls -l "$output"
