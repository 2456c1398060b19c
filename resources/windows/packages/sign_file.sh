#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Signs one Windows file (a program or an MSI) in place with osslsigncode:
# SHA-256, the certificate and key from the PKCS#12 file GRADOLUX_SIGN_PKCS12
# with the password in GRADOLUX_SIGN_PASSWORD, and a time stamp from
# GRADOLUX_SIGN_TIMESTAMP when it names a server. Used by make_packages.sh and,
# for the uninstaller and the installer, by makensis.
#   sign_file.sh FILE
set -euo pipefail
file=$1
: "${GRADOLUX_SIGN_PKCS12:?names the PKCS#12 file to sign with}"
timestamp=()
if [[ -n "${GRADOLUX_SIGN_TIMESTAMP:-}" ]]; then
    timestamp=(-ts "$GRADOLUX_SIGN_TIMESTAMP")
fi
# osslsigncode writes a new file and never overwrites one.
signed=$file.signed-$$
rm -f "$signed"
trap 'rm -f "$signed"' EXIT
osslsigncode sign -h sha256 -pkcs12 "$GRADOLUX_SIGN_PKCS12" -readpass <(printf '%s' "${GRADOLUX_SIGN_PASSWORD:-}") \
    -n Gradolux "${timestamp[@]}" -in "$file" -out "$signed" >/dev/null
mv -f "$signed" "$file"
trap - EXIT
