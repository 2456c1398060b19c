# SPDX-License-Identifier: MIT
# End-to-end use of Gradolux.exe under Wine, driven by real keys and clicks
# (xdotool) and read back through the Win32 API (win_reader.exe). Sourced by
# run_wine_tests.sh, which provides the prefix, the X session, BUILD and run.

win_reader() {
    wine "$BUILD/win_reader.exe" "$@" >"$BUILD/win_reader.out" 2>/dev/null || return 1
    tr -d '\r' <"$BUILD/win_reader.out"
}

# A visible Gradolux window whose name is exactly $1 ("" for the splash, which has none).
find_wine_window() {
    local id
    FOUND=""
    for id in $(xdotool search --onlyvisible --classname 'gradolux.exe' 2>/dev/null); do
        [[ "$(xdotool getwindowname "$id" 2>/dev/null)" == "$1" ]] || continue
        FOUND=$id
        return 0
    done
    return 1
}

wait_for_wine_window() {
    wait_until find_wine_window "$1" || return 1
    wait_for_focus "$FOUND" || return 1
    echo "$FOUND"
}

r_is() {
    R=$(win_reader text "$MAIN_TITLE")
    [[ "$R" == "$1" ]]
}

wine_fail() {
    echo "FAIL (Windows, $CASE): $*" >&2
    "$GRAB_SCREEN" "$BUILD/failure-$CASE.png" 2>/dev/null || true
    kill "$APP" 2>/dev/null || true
    return 1
}

# The program ends after ACTION, with exit code 0 (wait_for_exit from x_session.sh).
expect_clean_exit() {
    APP_PID=$APP
    wait_for_exit || { wine_fail "$1 did not end the program"; return 1; }
    [[ "$EXIT_CODE" == 0 ]] || { wine_fail "exit code $EXIT_CODE after $1"; return 1; }
}

MAIN_TITLE="Bewerten und Beurteilen von Risiken nach der CEL-Methode"

# The typical use under a locale: the splash, a key, a calculation, a
# changed option, "Programm Beenden" and exit code 0.
windows_typical_use() {
    local locale=$1 separator=$2 splash main
    CASE=typical-use-${locale%%.*}
    LC_ALL=$locale LANG=$locale wine "$BUILD/Gradolux.exe" >"$BUILD/gradolux.log" 2>&1 &
    APP=$!
    splash=$(wait_for_wine_window "") || { wine_fail "the splash did not appear with the focus"; return 1; }
    [[ -z "$(xdotool search --onlyvisible --name "$MAIN_TITLE" 2>/dev/null)" ]] || { wine_fail "the main window exists before a key"; return 1; }
    xdotool key x
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "a key on the splash did not open the main window"; return 1; }
    wait_until_unmapped "$splash" || { wine_fail "the splash stayed visible"; return 1; }

    # A = 3 (Option2), H = 1 (Option8), W = 6 (Option17), then "Berechnen".
    click_twips "$main" 1800 1440
    click_twips "$main" 1200 4200
    click_twips "$main" 5400 5250
    click_twips "$main" 7900 7980
    wait_until r_is 18 || { wine_fail "R is '$R', expected 18"; return 1; }
    LABELS=$(win_reader labels "$MAIN_TITLE")
    [[ "$LABELS" == *"In Ihrem Anwendungsfall ergibt sich bei der Berechnung ein GERINGES RISIKO."* ]] || { wine_fail "the verdict is not shown: $LABELS"; return 1; }
    # W = 0,2 (Option13): recomputed from the kept A and H, with the locale's separator.
    click_twips "$main" 5400 4000
    click_twips "$main" 7900 7980
    wait_until r_is "0${separator}6" || { wine_fail "R is '$R', expected 0${separator}6"; return 1; }

    click_twips "$main" 7900 8460
    expect_clean_exit "Programm Beenden" || return 1
    echo "Windows typical use ($locale): passed"
}

focus_is() {
    FOCUSED=$(win_reader focus)
    [[ "$FOCUSED" == "$1" ]]
}

expect_focus() {
    wait_until focus_is "$1" || { wine_fail "focus on '$FOCUSED', expected '$1'"; return 1; }
}

window_gone() {
    ! find_wine_window "$1"
}

# The splash's keys and clicks, Tab order and access keys, the About dialog
# with Escape and Enter and its message box, and the end through the exit
# button with the dialog open.
windows_keyboard_and_about() {
    local splash main about box
    CASE=keyboard-and-about
    LC_ALL=C.UTF-8 wine "$BUILD/Gradolux.exe" >"$BUILD/gradolux.log" 2>&1 &
    APP=$!
    splash=$(wait_for_wine_window "") || { wine_fail "the splash did not appear with the focus"; return 1; }
    # Keys that type nothing and a click on a label leave the splash up.
    xdotool key shift Left F5 Delete Insert
    click_twips "$splash" 3600 3780
    settle "$splash" || { wine_fail "the splash did not answer"; return 1; }
    [[ "$(map_state "$splash")" == IsViewable ]] || { wine_fail "a key without a character or a label click closed the splash"; return 1; }
    [[ -z "$(xdotool search --onlyvisible --name "$MAIN_TITLE" 2>/dev/null)" ]] || { wine_fail "the main window opened too early"; return 1; }
    # A click on the frame's surface goes on.
    click_twips "$splash" 600 3300
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "a click on the frame did not open the main window"; return 1; }

    # Tab follows the tab index; Alt+E, shared by two buttons, only moves the focus.
    expect_focus "Button|B&erechnen" || return 1
    xdotool key Tab
    expect_focus "Button|Programm Be&enden" || return 1
    xdotool key Tab
    expect_focus "Edit|" || return 1
    xdotool key alt+e
    expect_focus "Button|B&erechnen" || return 1
    xdotool key alt+e
    expect_focus "Button|Programm Be&enden" || return 1
    settle "$main" || { wine_fail "the main window did not answer"; return 1; }
    kill -0 "$APP" 2>/dev/null || { wine_fail "Alt+E ended the program"; return 1; }

    # The About dialog: Escape and Enter close it, Alt+S shows the message box.
    for key in Escape Return KP_Enter; do
        click_twips "$main" 2100 8340
        about=$(wait_for_wine_window "Info zu Gradolux") || { wine_fail "Programminfo did not open the About dialog"; return 1; }
        xdotool key "$key"
        wait_until window_gone "Info zu Gradolux" || { wine_fail "$key did not close the About dialog"; return 1; }
    done
    click_twips "$main" 2100 8340
    about=$(wait_for_wine_window "Info zu Gradolux") || { wine_fail "Programminfo did not open the About dialog"; return 1; }
    xdotool key alt+s
    box=$(wait_for_wine_window "Gradolux") || { wine_fail "Alt+S did not show the message box"; return 1; }
    xdotool key Return
    wait_until_unmapped "$box" || { wine_fail "Enter did not close the message box"; return 1; }
    wait_for_focus "$about" || { wine_fail "the focus did not come back to the About dialog"; return 1; }

    click_twips "$main" 7900 8460
    expect_clean_exit "Programm Beenden" || return 1
    echo "Windows keyboard and About dialog: passed"
}

# Closing the main window through its frame ends the whole program with exit code 0.
windows_close_main_window() {
    local main
    CASE=close-main-window
    LC_ALL=C.UTF-8 wine "$BUILD/Gradolux.exe" >"$BUILD/gradolux.log" 2>&1 &
    APP=$!
    wait_for_wine_window "" >/dev/null || { wine_fail "the splash did not appear with the focus"; return 1; }
    xdotool key space
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "the main window did not appear"; return 1; }
    xdotool key alt+F4
    expect_clean_exit "closing the main window" || return 1
    echo "Windows close main window: passed"
}

# The installer: a silent install for all users, Gradolux started from its
# Start-menu entry, a silent uninstall, and nothing left behind.
windows_installer() {
    local packages=$1 setup drive folder shortcut key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gradolux"
    CASE=installer
    setup=$(echo "$packages"/gradolux-*-windows-x64-setup.exe)
    drive=$WINEPREFIX/drive_c
    folder="$drive/Program Files/Gradolux"
    shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Gradolux.lnk"
    local before
    before=$(cd "$drive" && find . -path ./windows -prune -o -print | sort)

    # Both packages match their sums; the zip holds the program, the licence and the read-me.
    (cd "$packages" && sha256sum --quiet -c SHA256SUMS) || { wine_fail "a package does not match SHA256SUMS"; return 1; }
    local listing
    listing=$(unzip -Z1 "$packages/gradolux-$VERSION-windows-x64.zip" | sort | tr '\n' ' ')
    local top=gradolux-$VERSION-windows-x64
    [[ "$listing" == "$top/ $top/Gradolux.exe $top/LIESMICH.txt $top/LIZENZ.txt " ]] ||
        { wine_fail "the zip holds: $listing"; return 1; }
    unzip -p "$packages/$top.zip" "$top/Gradolux.exe" | cmp -s - "$BUILD/Gradolux.exe" ||
        { wine_fail "the zip's Gradolux.exe is not the built one"; return 1; }

    wine "$setup" /S >"$BUILD/setup.log" 2>&1 || { wine_fail "the silent install failed"; return 1; }
    for file in Gradolux.exe LIZENZ.txt LIESMICH.txt Deinstallieren.exe; do
        [[ -f "$folder/$file" ]] || { wine_fail "not installed: Program Files\\Gradolux\\$file"; return 1; }
    done
    cmp -s "$folder/Gradolux.exe" "$BUILD/Gradolux.exe" ||
        { wine_fail "the installed Gradolux.exe is not the built one"; return 1; }
    [[ -f "$shortcut" ]] || { wine_fail "no Start-menu entry for all users"; return 1; }
    local entry
    entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
    for value in "DisplayName +REG_SZ +Gradolux$" "DisplayVersion +REG_SZ +$VERSION$" \
        "Publisher +REG_SZ +Die Gradolux-Entwickler$" "UninstallString +REG_SZ +\"C:\\\\Program Files\\\\Gradolux\\\\Deinstallieren.exe\"$"; do
        grep -Eq "^ +$value" <<<"$entry" || { wine_fail "the entry under installed programs lacks '$value': $entry"; return 1; }
    done

    # What the Start-menu entry starts is the installed program.
    wine start /wait /unix "$shortcut" >"$BUILD/gradolux.log" 2>&1 &
    APP=$!
    wait_for_wine_window "" >/dev/null || { wine_fail "the Start-menu entry did not show the splash"; return 1; }
    local pid
    pid=$(xdotool getwindowpid "$FOUND")
    [[ "$(tr '\0' ' ' </proc/"$pid"/cmdline)" == *'C:\Program Files\Gradolux\Gradolux.exe'* ]] ||
        { wine_fail "the Start-menu entry started $(tr '\0' ' ' </proc/"$pid"/cmdline)"; return 1; }
    xdotool key space
    local main
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "the main window did not appear"; return 1; }
    click_twips "$main" 7900 8460
    expect_clean_exit "Programm Beenden" || return 1

    # The uninstaller hands over to a copy of itself and returns at once;
    # the uninstall has ended when that copy has.
    wine "C:\\Program Files\\Gradolux\\Deinstallieren.exe" /S >"$BUILD/uninstall.log" 2>&1 ||
        { wine_fail "the silent uninstall failed"; return 1; }
    wait_until no_uninstaller_runs || { wine_fail "the uninstaller did not end"; return 1; }
    uninstalled "$folder" "$key" || { wine_fail "the uninstall did not take the program and its entry away"; return 1; }
    [[ ! -e "$shortcut" ]] || { wine_fail "the Start-menu entry is left"; return 1; }
    # The copy of the uninstaller in %TEMP% goes at the next restart, as
    # Windows does it for every such uninstaller; then nothing is left.
    # (Wine keeps the list of such deletions newest first, so it tries the
    # folder before the file in it and leaves the folder empty; Windows goes
    # oldest first. An empty folder of that name is removed here, and only
    # an empty one.)
    wineboot --restart >/dev/null 2>&1
    rmdir "$drive"/users/*/Temp/~nsu*.tmp 2>/dev/null || true
    local after
    after=$(cd "$drive" && find . -path ./windows -prune -o -print | sort)
    [[ "$after" == "$before" ]] || { wine_fail "left behind: $(comm -13 <(echo "$before") <(echo "$after"))"; return 1; }
    echo "Windows installer: passed"
}

uninstalled() {
    [[ ! -e "$1" ]] && ! wine reg query "$2" >/dev/null 2>&1
}

no_uninstaller_runs() {
    ! pgrep -f '~nsu.*Un\.exe|Deinstallieren\.exe' >/dev/null
}
