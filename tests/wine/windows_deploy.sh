# SPDX-License-Identifier: MIT
# Gradolux's Windows packages as an IT department deploys them, under Wine,
# each case in a fresh prefix: the MSI and the NSIS installer installed
# silently, started from the Start menu of all users, upgraded to the next
# version (also from a folder of the user's choice and while the program
# runs), refused as a downgrade, and uninstalled silently leaving the drive
# and the registry as they were; and the packages signed with a throw-away
# certificate. Sourced by run_wine_tests.sh after windows_e2e.sh, which
# provide the X session, BUILD, VERSION and the helpers; NEXT is the folder
# of the next version's build and NEXT_VERSION its version.

UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
PROGRAM_FILES='C:\Program Files\Gradolux'
TOOLS='C:\Tools\Gradolux'

# A fresh prefix for one case; sets DRIVE and BEFORE (the drive and the
# registry as a newly set-up Windows has them, with a folder C:\Tools for the
# programs the user installs where he likes).
fresh_prefix() {
    make_wine_prefix "$BUILD/prefix-$1"
    DRIVE=$WINEPREFIX/drive_c
    mkdir -p "$DRIVE/Tools"
    BEFORE=$(machine_state)
}

# What an installation may change: the files outside the Windows folder, the
# entries under installed programs, what Windows Installer keeps of its
# products, and Gradolux's own key. Registry values, each with its key; the
# empty keys Windows Installer keeps for its bookkeeping once it has run are
# not an installation's remains.
machine_state() {
    (cd "$DRIVE" && find . -path ./windows -prune -o -print | sort)
    wine reg query "$UNINSTALL_KEY" 2>/dev/null | tr -d '\r' | grep -i '^HKEY'
    local key
    for key in 'HKLM\Software\Classes\Installer' 'HKLM\Software\Gradolux'; do
        wine reg query "$key" /s 2>/dev/null | tr -d '\r' | awk '/^HKEY/ { key = $0 } /REG_/ { print key "|" $0 }'
    done
}

expect_as_before() {
    wineboot --restart >/dev/null 2>&1
    local after
    after=$(machine_state)
    [[ "$after" == "$BEFORE" ]] || { wine_fail "$1 left behind: $(diff <(echo "$BEFORE") <(echo "$after") | grep '^>')"; return 1; }
}

# Runs a Windows program and sets CODE to its exit code, in full.
run_code() {
    CODE=$(wine "$BUILD/exit_code.exe" "$@" 2>"$BUILD/deploy.log" | tr -d '\r')
}

expect_code() {
    [[ "$CODE" == "$1" ]] || { wine_fail "$2 ended with exit code $CODE, expected $1"; return 1; }
}

unix_path() { winepath -u "$1" 2>/dev/null; }

# The program in FOLDER is the one of VERSION_BUILD's Gradolux.exe.
expect_program() {
    local folder=$1 expected=$2 what=$3
    cmp -s "$(unix_path "$folder")/Gradolux.exe" "$expected" || { wine_fail "$what: $folder holds another Gradolux.exe"; return 1; }
}

# The entries under installed programs named Gradolux, one a line: key|version|folder.
gradolux_entries() {
    local key
    wine reg query "$UNINSTALL_KEY" 2>/dev/null | tr -d '\r' | grep -i '\\Uninstall\\' | while read -r key; do
        local values
        values=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
        grep -Eq '^ +DisplayName +REG_SZ +Gradolux$' <<<"$values" || continue
        echo "${key##*\\}|$(sed -n 's/^ *DisplayVersion *REG_SZ *//p' <<<"$values")|$(sed -n 's/^ *InstallLocation *REG_SZ *//p' <<<"$values")"
    done
}

expect_one_entry() {
    local version=$1 entries
    entries=$(gradolux_entries)
    [[ $(grep -c . <<<"$entries") == 1 && "$(cut -d'|' -f2 <<<"$entries")" == "$version" ]] ||
        { wine_fail "expected one entry of version $version under installed programs: $entries"; return 1; }
}

# Starts the program in FOLDER and waits for its splash.
start_installed() {
    wine "$1\\Gradolux.exe" >"$BUILD/gradolux.log" 2>&1 &
    APP=$!
    SPLASH=$(wait_for_wine_window "Gradolux") || { wine_fail "the installed program did not start"; return 1; }
}

end_program() {
    xdotool key space
    local main
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "the main window did not appear"; return 1; }
    click_twips "$main" 7900 8460
    expect_clean_exit "Programm Beenden" || return 1
}

# The MSI: installed, started from the Start menu, upgraded, a downgrade
# refused, uninstalled; the packages of this version signed (SIGNED).
windows_msi_upgrade() {
    CASE=msi-upgrade
    fresh_prefix msi
    local old=$SIGNED/gradolux-$VERSION-windows-x64.msi new=$NEXT/gradolux-$NEXT_VERSION-windows-x64.msi
    run_code msiexec /i "$old" /qn
    expect_code 0 "the silent install" || return 1
    expect_program "$PROGRAM_FILES" "$SIGNED_EXE" "install" || return 1
    expect_one_entry "$VERSION" || return 1
    start_from_start_menu "$PROGRAM_FILES" || return 1
    end_program || return 1
    run_code msiexec /i "$new" /qn
    expect_code 0 "the upgrade" || return 1
    expect_program "$PROGRAM_FILES" "$NEXT_EXE" "upgrade" || return 1
    expect_one_entry "$NEXT_VERSION" || return 1
    run_code msiexec /i "$old" /qn
    expect_code 1603 "the downgrade" || return 1
    expect_program "$PROGRAM_FILES" "$NEXT_EXE" "refused downgrade" || return 1
    expect_one_entry "$NEXT_VERSION" || return 1
    run_code msiexec /x "$new" /qn
    expect_code 0 "the silent uninstall" || return 1
    expect_as_before "the MSI" || return 1
    echo "Windows MSI upgrade: passed"
}

# The MSI into a folder of the user's choice, upgraded while the program
# runs: 3010, and the new program in that folder after the restart.
windows_msi_folder_and_running() {
    CASE=msi-folder-and-running
    fresh_prefix msi-folder
    local old=$BUILD/packages/gradolux-$VERSION-windows-x64.msi new=$NEXT/gradolux-$NEXT_VERSION-windows-x64.msi
    run_code msiexec /i "$old" /qn "INSTALLDIR=$TOOLS"
    expect_code 0 "the install into $TOOLS" || return 1
    expect_program "$TOOLS" "$BUILD/Gradolux.exe" "install into $TOOLS" || return 1
    [[ ! -e "$DRIVE/Program Files/Gradolux" ]] || { wine_fail "INSTALLDIR was not followed"; return 1; }
    start_installed "$TOOLS" || return 1
    run_code msiexec /i "$new" /qn
    expect_code 3010 "the upgrade while Gradolux runs" || return 1
    end_program || return 1
    wineboot --restart >/dev/null 2>&1
    expect_program "$TOOLS" "$NEXT_EXE" "upgrade in $TOOLS after the restart" || return 1
    [[ ! -e "$DRIVE/Program Files/Gradolux" ]] || { wine_fail "the upgrade left the installed folder"; return 1; }
    expect_one_entry "$NEXT_VERSION" || return 1
    run_code msiexec /x "$new" /qn
    expect_code 0 "the silent uninstall" || return 1
    expect_as_before "the MSI in $TOOLS" || return 1
    echo "Windows MSI in a folder of one's own and while running: passed"
}

# The silent uninstall the entry names, as a deployment tool runs it.
quiet_uninstall() {
    local command
    command=$(wine reg query "$UNINSTALL_KEY\\Gradolux" /v QuietUninstallString 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
    [[ "$command" == "\"$1\\Deinstallieren.exe\" /S _?=$1" ]] || { wine_fail "the silent uninstall command is '$command'"; return 1; }
    run_code "$1\\Deinstallieren.exe" /S "_?=$1"
    expect_code 0 "the silent uninstall" || return 1
    # Returned means done: the program is gone at once.
    [[ ! -e "$(unix_path "$1")/Gradolux.exe" ]] || { wine_fail "the silent uninstall returned before the program was gone"; return 1; }
}

# The NSIS installer: installed, started, upgraded into the same folder, a
# downgrade refused, uninstalled silently and waited for.
windows_nsis_upgrade() {
    CASE=nsis-upgrade
    fresh_prefix nsis
    local old=$SIGNED/gradolux-$VERSION-windows-x64-setup.exe new=$NEXT/gradolux-$NEXT_VERSION-windows-x64-setup.exe
    run_code "$old" /S
    expect_code 0 "the silent install" || return 1
    expect_program "$PROGRAM_FILES" "$SIGNED_EXE" "install" || return 1
    osslsigncode verify -CAfile "$SIGNING/certificate.pem" -in "$DRIVE/Program Files/Gradolux/Deinstallieren.exe" >/dev/null 2>&1 ||
        { wine_fail "the uninstaller is not signed"; return 1; }
    start_from_start_menu "$PROGRAM_FILES" || return 1
    end_program || return 1
    run_code "$new" /S
    expect_code 0 "the upgrade" || return 1
    expect_program "$PROGRAM_FILES" "$NEXT_EXE" "upgrade" || return 1
    expect_one_entry "$NEXT_VERSION" || return 1
    run_code "$old" /S
    expect_code 4 "the downgrade" || return 1
    expect_program "$PROGRAM_FILES" "$NEXT_EXE" "refused downgrade" || return 1
    expect_one_entry "$NEXT_VERSION" || return 1
    quiet_uninstall "$PROGRAM_FILES" || return 1
    expect_as_before "the installer" || return 1
    echo "Windows installer upgrade: passed"
}

# The NSIS installer into a folder of the user's choice: refused while the
# program runs (nothing changed), then upgraded in that folder.
windows_nsis_folder_and_running() {
    CASE=nsis-folder-and-running
    fresh_prefix nsis-folder
    local old=$BUILD/packages/gradolux-$VERSION-windows-x64-setup.exe new=$NEXT/gradolux-$NEXT_VERSION-windows-x64-setup.exe
    run_code "$old" /S "/D=$TOOLS"
    expect_code 0 "the install into $TOOLS" || return 1
    expect_program "$TOOLS" "$BUILD/Gradolux.exe" "install into $TOOLS" || return 1
    start_installed "$TOOLS" || return 1
    run_code "$new" /S
    expect_code 3 "the upgrade while Gradolux runs" || return 1
    expect_program "$TOOLS" "$BUILD/Gradolux.exe" "refused upgrade while running" || return 1
    expect_one_entry "$VERSION" || return 1
    end_program || return 1
    run_code "$new" /S
    expect_code 0 "the upgrade" || return 1
    expect_program "$TOOLS" "$NEXT_EXE" "upgrade in $TOOLS" || return 1
    [[ ! -e "$DRIVE/Program Files/Gradolux" ]] || { wine_fail "the upgrade went into Program Files, not into $TOOLS"; return 1; }
    expect_one_entry "$NEXT_VERSION" || return 1
    quiet_uninstall "$TOOLS" || return 1
    expect_as_before "the installer in $TOOLS" || return 1
    echo "Windows installer in a folder of one's own and while running: passed"
}

# The packages of this version signed with a throw-away certificate: every
# signed file verifies, and the build's own Gradolux.exe is left as it was.
# Sets SIGNING, SIGNED and SIGNED_EXE for the cases above.
windows_signed_packages() {
    CASE=signed-packages
    SIGNING=$BUILD/signing SIGNED=$BUILD/signing/packages
    rm -rf "$SIGNING" && mkdir -p "$SIGNING"
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Gradolux Test" \
        -keyout "$SIGNING/key.pem" -out "$SIGNING/certificate.pem" >/dev/null 2>&1 &&
        openssl pkcs12 -export -inkey "$SIGNING/key.pem" -in "$SIGNING/certificate.pem" \
            -out "$SIGNING/test.p12" -passout pass:geheim >/dev/null 2>&1 || { wine_fail "no test certificate"; return 1; }
    local before
    before=$(sha256sum <"$BUILD/Gradolux.exe")
    GRADOLUX_SIGN_PKCS12=$SIGNING/test.p12 GRADOLUX_SIGN_PASSWORD=geheim bash "$PACKAGES_SCRIPT" "$VERSION" \
        "$BUILD/Gradolux.exe" "$BUILD/resources/gradolux.ico" "$LICENCE" "$BUILD/LIESMICH.txt" "$NSIS_SCRIPT" \
        "$BUILD/gradolux.wxs" "$PACKAGE_CODE" "$SIGNED" >"$SIGNING/make.log" 2>&1 || { wine_fail "signing failed: $(tail -5 "$SIGNING/make.log")"; return 1; }
    [[ "$(sha256sum <"$BUILD/Gradolux.exe")" == "$before" ]] || { wine_fail "signing changed the built Gradolux.exe"; return 1; }
    SIGNED_EXE=$SIGNING/Gradolux.exe
    unzip -p "$SIGNED/gradolux-$VERSION-windows-x64.zip" "gradolux-$VERSION-windows-x64/Gradolux.exe" >"$SIGNED_EXE"
    local file
    for file in "$SIGNED_EXE" "$SIGNED/gradolux-$VERSION-windows-x64-setup.exe" "$SIGNED/gradolux-$VERSION-windows-x64.msi"; do
        osslsigncode verify -CAfile "$SIGNING/certificate.pem" -in "$file" >"$SIGNING/verify.log" 2>&1 ||
            { wine_fail "$(basename "$file") does not verify: $(tail -3 "$SIGNING/verify.log")"; return 1; }
    done
    (cd "$SIGNED" && sha256sum --quiet -c SHA256SUMS) || { wine_fail "the signed packages do not match their sums"; return 1; }
    echo "Windows signed packages: passed"
}
