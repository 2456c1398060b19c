#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Gradolux.exe as a file: a 64-bit Windows GUI program that imports only
# Windows' own DLLs (no MinGW run-time to ship beside it), carries its
# manifest, has no time stamp in its header, and is
# stripped and under 1 MiB.
#   program_file_test.sh GRADOLUX_EXE
set -euo pipefail
exe=$1
objdump=x86_64-w64-mingw32-objdump
status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}

headers=$("$objdump" -p "$exe")
[[ "$headers" == *"file format pei-x86-64"* ]] || fail "not a 64-bit Windows executable"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not a GUI program (subsystem 2)"
grep -Eq '^Time/Date[[:space:]]+(Thu Jan  1 00:00:00 1970|0+)$' <<<"$headers" ||
    fail "the header has a time stamp: $(grep '^Time/Date' <<<"$headers")"

# Only DLLs that every Windows 10 and 11 has.
allowed=" ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll USER32.dll "
mapfile -t imports < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | sort -u)
((${#imports[@]} > 0)) || fail "no import table found"
for dll in "${imports[@]}"; do
    [[ "$allowed" == *" $dll "* ]] || fail "imports $dll, which is not part of Windows"
done

# The manifest (the version record and the icon group are read back under Wine).
text=$(strings "$exe")
grep -q 'level="asInvoker"' <<<"$text" || fail "no manifest asking for the invoker's rights"
grep -q '>PerMonitorV2<' <<<"$text" || fail "the manifest does not declare per-monitor DPI awareness"

# As built for release it is stripped, and it is what the packages ship.
grep -Eq '^[[:space:]]+symbols stripped$' <<<"$headers" || fail "the symbol table was not stripped"
size=$(stat -c %s "$exe")
((size < 1024 * 1024)) || fail "Gradolux.exe has $size bytes (limit 1 MiB)"

echo "Gradolux.exe: imports ${imports[*]}; $size bytes"
exit $status
