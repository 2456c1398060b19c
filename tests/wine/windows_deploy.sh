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
# programs the user installs where he likes). Each is a copy of one prefix
# set up for this run: a copy takes seconds, setting one up twenty.
FRESH_TEMPLATE=$BUILD/prefix-fresh
rm -rf "$FRESH_TEMPLATE"
fresh_prefix() {
    [[ -d "$FRESH_TEMPLATE" ]] || make_wine_prefix "$FRESH_TEMPLATE"
    rm -rf "$BUILD/prefix-$1"
    cp -a "$FRESH_TEMPLATE" "$BUILD/prefix-$1"
    export WINEPREFIX=$BUILD/prefix-$1
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
    click_described "$main" Form1 Command2
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
        "$BUILD/gradolux.wxs" "$PACKAGE_CODE" "$UPGRADE_CODE" "$BUILD/msi_guard.dll" "$BUILD/cancel_pending_deletes.exe" \
        "$SIGNED" >"$SIGNING/make.log" 2>&1 || { wine_fail "signing failed: $(tail -5 "$SIGNING/make.log")"; return 1; }
    # A signed MSI is another package than the unsigned one: another package code.
    local unsigned_code signed_code
    unsigned_code=$(msiinfo suminfo "$BUILD/packages/gradolux-$VERSION-windows-x64.msi" | sed -n 's/^Revision number (UUID): //p')
    signed_code=$(msiinfo suminfo "$SIGNED/gradolux-$VERSION-windows-x64.msi" | sed -n 's/^Revision number (UUID): //p')
    [[ -n "$signed_code" && "$signed_code" != "$unsigned_code" ]] ||
        { wine_fail "the signed and the unsigned MSI share the package code $signed_code"; return 1; }
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

# ---- One product, whichever package -------------------------------------
# The cases an IT department meets when a person installed one package and
# IT deploys the other, uninstalls and deploys again in one maintenance
# window, or uninstalls while Gradolux runs. Each case runs in a fresh
# prefix; each step gives its exit code in full, a refused step (a code
# other than 0) must leave the drive and the registry exactly as they were,
# an uninstall that says 0 must have removed the program and its entry by
# the time it returns, and after the last step and a restart of Windows the
# machine is as it was before the case.
#
# A case is its name and its steps, separated by ";". A step is
#   CODE install-msi|install-setup VERSION [ARGUMENT...]
#   CODE remove-msi VERSION
#   CODE remove-setup FOLDER quiet|string   (the entry's QuietUninstallString,
#                                           or its UninstallString with /S appended)
#   start FOLDER | stop | restart | entry VERSION | no-entry | program FOLDER VERSION
#   unzip FOLDER VERSION                    (the program copied there by hand)
# with V for this version, N for the next, PF and TOOLS for the folders.
ONE_PRODUCT_CASES=(
    "msi-then-setup|0 install-msi V; 5 install-setup V; entry V; program PF V; 0 remove-msi V"
    "msi-new-then-setup-old|0 install-msi N; 5 install-setup V; entry N; program PF N; 0 remove-msi N"
    "msi-old-then-setup-new|0 install-msi V; 5 install-setup N; entry V; program PF V; 0 remove-msi V"
    "setup-then-msi|0 install-setup V; 1603 install-msi V; entry V; program PF V; 0 remove-setup PF quiet"
    "setup-new-then-msi-old|0 install-setup N; 1603 install-msi V; entry N; program PF N; 0 remove-setup PF quiet"
    "setup-old-then-msi-new|0 install-setup V; 1603 install-msi N; entry V; program PF V; 0 remove-setup PF string"
    "setup-removed-and-installed-before-restart|0 install-setup V; 0 remove-setup PF quiet; 0 install-setup V; restart; entry V; program PF V; 0 remove-setup PF quiet"
    "setup-in-tools-removed-and-installed-before-restart|0 install-setup V /D=TOOLS; 0 remove-setup TOOLS string; 0 install-setup N /D=TOOLS; restart; entry N; program TOOLS N; 0 remove-setup TOOLS quiet"
    "msi-removed-while-running|0 install-msi V; start PF; 1603 remove-msi V; stop; entry V; 0 remove-msi V"
    "setup-removed-while-running|0 install-setup V; start PF; 3 remove-setup PF quiet; 3 remove-setup PF string; stop; entry V; 0 remove-setup PF string"
    "msi-for-one-user|1603 install-msi V ALLUSERS=; 1603 install-msi V ALLUSERS=2 MSIINSTALLPERUSER=1; no-entry"
    # A program put there by hand (the zip) is newer: the MSI keeps it, and
    # leaves it to its owner when it is removed.
    "msi-keeps-a-newer-program|unzip PF N; 0 install-msi V; program PF N; entry V; 0 remove-msi V"
)

# The package of a kind (msi, setup) and version.
package_of() {
    local folder=$BUILD/packages
    [[ "$2" == "$NEXT_VERSION" ]] && folder=$NEXT
    case $1 in
    msi) echo "$folder/gradolux-$2-windows-x64.msi" ;;
    setup) echo "$folder/gradolux-$2-windows-x64-setup.exe" ;;
    esac
}

program_of() {
    if [[ "$1" == "$NEXT_VERSION" ]]; then echo "$NEXT_EXE"; else echo "$BUILD/Gradolux.exe"; fi
}

# A command line of the entry, run as a deployment tool runs it: the
# program, then the rest of the line as it stands.
run_command_line() {
    local line=$1 program rest
    program=${line#\"}
    program=${program%%\"*}
    rest=${line#\"*\" }
    # shellcheck disable=SC2086 # the rest of the line, one blank between its words as before
    run_code "$program" $rest
}

entry_value() {
    wine reg query "$UNINSTALL_KEY\\Gradolux" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}

deploy_step() {
    local words=("$@") expected="" before=""
    if [[ "${words[0]}" =~ ^[0-9]+$ ]]; then
        expected=${words[0]}
        words=("${words[@]:1}")
        [[ "$expected" == 0 ]] || before=$(machine_state)
    fi
    set -- "${words[@]}"
    case $1 in
    install-msi) run_code msiexec /i "$(package_of msi "$2")" /qn "${@:3}" ;;
    install-setup) run_code "$(package_of setup "$2")" /S "${@:3}" ;;
    remove-msi) run_code msiexec /x "$(package_of msi "$2")" /qn ;;
    remove-setup)
        local command
        if [[ "$3" == quiet ]]; then command=$(entry_value QuietUninstallString); else command="$(entry_value UninstallString) /S"; fi
        [[ "$command" == "\"$2\\Deinstallieren.exe\""*"_?=$2"* ]] ||
            { wine_fail "the entry's uninstall command is '$command'"; return 1; }
        run_command_line "$command"
        ;;
    start) start_installed "$2" || return 1 ;;
    stop) end_program || return 1 ;;
    restart) wineboot --restart >/dev/null 2>&1 ;;
    entry) expect_one_entry "$2" || return 1 ;;
    no-entry) [[ -z "$(gradolux_entries)" ]] || { wine_fail "an entry is left: $(gradolux_entries)"; return 1; } ;;
    program) expect_program "$2" "$(program_of "$3")" "$CASE" || return 1 ;;
    unzip)
        HAND_COPIED=$(unix_path "$2")
        mkdir -p "$HAND_COPIED" && cp "$(program_of "$3")" "$HAND_COPIED/Gradolux.exe"
        ;;
    *) wine_fail "no such step: $*"; return 1 ;;
    esac
    [[ -n "$expected" ]] || return 0
    expect_code "$expected" "$*" || return 1
    if [[ -n "$before" ]]; then
        local after
        after=$(machine_state)
        [[ "$after" == "$before" ]] ||
            { wine_fail "$* was refused but changed: $(diff <(echo "$before") <(echo "$after") | grep '^[<>]')"; return 1; }
    elif [[ "$1" == remove-* ]]; then
        # Returned means done: the program and its entry are gone at once.
        local folder=$PROGRAM_FILES
        [[ "$1" == remove-setup ]] && folder=$2
        [[ -z "$(gradolux_entries)" ]] || { wine_fail "$* returned before the entry was removed"; return 1; }
        [[ -n "$HAND_COPIED" || ! -e "$(unix_path "$folder")/Gradolux.exe" ]] ||
            { wine_fail "$* returned before the program was removed"; return 1; }
    fi
}

windows_one_product() {
    local case steps step status=0
    for case in "${ONE_PRODUCT_CASES[@]}"; do
        CASE=${case%%|*}
        steps=${case#*|}
        fresh_prefix "$CASE"
        HAND_COPIED=""
        local ok=1 word
        IFS=';' read -ra step_list <<<"$steps"
        for step in "${step_list[@]}"; do
            local words=()
            for word in $step; do
                case $word in
                V) word=$VERSION ;;
                N) word=$NEXT_VERSION ;;
                PF) word=$PROGRAM_FILES ;;
                TOOLS) word=$TOOLS ;;
                /D=TOOLS) word=/D=$TOOLS ;;
                esac
                words+=("$word")
            done
            deploy_step "${words[@]}" || { ok=0; break; }
        done
        [[ -z "$HAND_COPIED" ]] || rm -rf "$HAND_COPIED"
        if ((ok)) && expect_as_before "$CASE"; then
            echo "Windows packages, $CASE: passed"
        else
            status=1
        fi
        rm -rf "$BUILD/prefix-$CASE"
    done
    return $status
}

# What the MSI's database says, read with msitools: Gradolux.exe carries its
# file version (so file versioning applies to it) and no hash, the database
# its code page; the custom actions come once the folders are known and
# before anything changes, and an older version is removed before the newer
# one is registered.
windows_msi_database() {
    CASE=msi-database
    local msi=$BUILD/packages/gradolux-$VERSION-windows-x64.msi
    [[ "$(msiinfo export "$msi" File | awk -F'\t' '$1 == "GradoluxExe" {print $5 "|" $6}')" == "$VERSION.0|1031" ]] ||
        { wine_fail "Gradolux.exe has no file version in the MSI"; return 1; }
    ! msiinfo export "$msi" MsiFileHash | grep -q '^GradoluxExe' || { wine_fail "Gradolux.exe has a hash in the MSI"; return 1; }
    [[ "$(msiinfo export "$msi" _ForceCodepage | awk -F'\t' 'NR == 3 {print $1}')" == 1252 ]] ||
        { wine_fail "the MSI's code page is not 1252"; return 1; }
    local sequence
    sequence=$(msiinfo export "$msi" InstallExecuteSequence | tr -d '\r')
    # The older version goes before anything of the newer is registered.
    awk -F'\t' '$1 == "CostFinalize" {c = $3} $1 == "RefuseWhileRunning" {r = $3} $1 == "SetInstallLocation" {s = $3}
        $1 == "InstallValidate" {v = $3} $1 == "RemoveExistingProducts" {x = $3} $1 == "InstallInitialize" {i = $3}
        $1 == "NoteUpgrade" {n = $3} $1 == "EndUpgrade" {e = $3}
        END {exit !(c < r && r < v && c < s && s < v && c < n && n < x && v < x && x < e && e < i)}' <<<"$sequence" ||
        { wine_fail "the custom actions are out of place: $sequence"; return 1; }
    echo "Windows MSI database: passed"
}
