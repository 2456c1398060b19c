# SPDX-License-Identifier: MIT
# End-to-end use of Gradolux.exe under Wine, driven by real keys and clicks
# (xdotool) and read back through the Win32 API (win_reader.exe). Sourced by
# run_wine_tests.sh, which provides the prefix, the X session, BUILD and run.

# Wine writes the locale a program starts under into the user's settings,
# which every program then reads (as on Windows, where a user has one): the
# reader runs under the locale of the Gradolux it reads.
win_reader() {
    LC_ALL=$APP_LOCALE LANG=$APP_LOCALE wine "$BUILD/win_reader.exe" "$@" >"$BUILD/win_reader.out" 2>/dev/null || return 1
    tr -d '\r' <"$BUILD/win_reader.out"
}

# A visible Gradolux window whose name is exactly $1 (the splash, without a title bar, is named "Gradolux" for screen readers).
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

# Starts Gradolux.exe under a locale (the reader then runs under it too) and
# waits for its splash with the focus; sets APP and SPLASH.
start_wine_gradolux() {
    APP_LOCALE=$1
    LC_ALL=$APP_LOCALE LANG=$APP_LOCALE wine "$BUILD/Gradolux.exe" >"$BUILD/gradolux.log" 2>&1 &
    APP=$!
    SPLASH=$(wait_for_wine_window "Gradolux") || { wine_fail "the splash did not appear with the focus ($(splash_state))"; return 1; }
}

# What the screen and the program show when the splash is not there with the focus.
splash_state() {
    local focus
    focus=$(xdotool getwindowfocus 2>/dev/null)
    if find_wine_window "Gradolux"; then
        echo "the splash is shown; the focus is on '$(xdotool getwindowname "$focus" 2>/dev/null)' ($focus)"
    elif kill -0 "$APP" 2>/dev/null; then
        echo "the program runs without its splash: $(tail -3 "$BUILD/gradolux.log" | tr '\n' ' ')"
    else
        echo "the program has ended: $(tail -3 "$BUILD/gradolux.log" | tr '\n' ' ')"
    fi
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

APP_LOCALE=C.UTF-8
MAIN_TITLE="Bewerten und Beurteilen von Risiken nach der CEL-Methode"

# The typical use under a locale: the splash, a key, a calculation, a
# changed option, "Programm Beenden" and exit code 0.
windows_typical_use() {
    local locale=$1 separator=$2 main
    CASE=typical-use-${locale%%.*}
    start_wine_gradolux "$locale" || return 1
    [[ -z "$(xdotool search --onlyvisible --name "$MAIN_TITLE" 2>/dev/null)" ]] || { wine_fail "the main window exists before a key"; return 1; }
    xdotool key x
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "a key on the splash did not open the main window"; return 1; }
    wait_until_unmapped "$SPLASH" || { wine_fail "the splash stayed visible"; return 1; }

    # A = 3 (Option2), H = 1 (Option8), W = 6 (Option17), then "Berechnen".
    click_described "$main" Form1 Option2
    click_described "$main" Form1 Option8
    click_described "$main" Form1 Option17
    click_described "$main" Form1 Command1
    wait_until r_is 18 || { wine_fail "R is '$R', expected 18"; return 1; }
    LABELS=$(win_reader labels "$MAIN_TITLE")
    [[ "$LABELS" == *"In Ihrem Anwendungsfall ergibt sich bei der Berechnung ein GERINGES RISIKO."* ]] || { wine_fail "the verdict is not shown: $LABELS"; return 1; }
    # W = 0,2 (Option13): recomputed from the kept A and H, with the locale's separator.
    click_described "$main" Form1 Option13
    click_described "$main" Form1 Command1
    wait_until r_is "0${separator}6" || { wine_fail "R is '$R', expected 0${separator}6"; return 1; }

    click_described "$main" Form1 Command2
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
    local main about box
    CASE=keyboard-and-about
    start_wine_gradolux C.UTF-8 || return 1
    # Keys that type nothing and a click on a label leave the splash up.
    xdotool key shift Left F5 Delete Insert
    click_described "$SPLASH" frmSplash lblWarning
    settle "$SPLASH" || { wine_fail "the splash did not answer"; return 1; }
    [[ "$(map_state "$SPLASH")" == IsViewable ]] || { wine_fail "a key without a character or a label click closed the splash"; return 1; }
    [[ -z "$(xdotool search --onlyvisible --name "$MAIN_TITLE" 2>/dev/null)" ]] || { wine_fail "the main window opened too early"; return 1; }
    # A click is a press and a release both on the frame's surface: either
    # alone, with the other on a label, does nothing.
    xdotool mousemove --window "$SPLASH" 40 220 mousedown 1 mousemove --window "$SPLASH" 240 252 mouseup 1
    xdotool mousemove --window "$SPLASH" 240 252 mousedown 1 mousemove --window "$SPLASH" 40 220 mouseup 1
    settle "$SPLASH" || { wine_fail "the splash did not answer"; return 1; }
    [[ "$(map_state "$SPLASH")" == IsViewable ]] || { wine_fail "a press or a release alone on the frame closed the splash"; return 1; }
    # A click on the frame's surface goes on.
    click_described "$SPLASH" frmSplash Frame1
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

    # Arrows move within an option group in tab order (A = 3, 3, 1, 15, 40,
    # 100: the first three have their tab indexes backwards) and choose as
    # they go; they wrap inside the group and never leave it.
    local a1=" GERINGE Auswirkung, z.B. Erste Hilfe, Schaden < 7.000 €, A = 1"
    local a15=" SEHR ERNSTE Auswirkung, z.B. tödlicher Unfall, schwere Erkrankung, Schaden von 700.000 - 1.400.000 €, A = 15"
    local a100=" KATASTROPHE, z.B. zahlreiche Todesfälle, Schaden grösser als 14.500.000 €, A = 100"
    click_control "$main" "$MAIN_TITLE" ".*, A = 1\$" || { wine_fail "no option A = 1"; return 1; }
    expect_focus "Button|$a1" || return 1
    xdotool key Down
    expect_focus "Button|$a15" || return 1
    wait_until checked_is "$a15" || { wine_fail "Down chose '$CHECKED'"; return 1; }
    xdotool key Up Up Up Up
    expect_focus "Button|$a100" || return 1
    wait_until checked_is "$a100" || { wine_fail "Up from the group's first option chose '$CHECKED'"; return 1; }

    # The About dialog: Escape and Enter close it, Alt+S shows the message box.
    for key in Escape Return KP_Enter; do
        click_described "$main" Form1 Command3
        about=$(wait_for_wine_window "Info zu Gradolux") || { wine_fail "Programminfo did not open the About dialog"; return 1; }
        xdotool key "$key"
        wait_until window_gone "Info zu Gradolux" || { wine_fail "$key did not close the About dialog"; return 1; }
    done
    click_described "$main" Form1 Command3
    about=$(wait_for_wine_window "Info zu Gradolux") || { wine_fail "Programminfo did not open the About dialog"; return 1; }
    xdotool key alt+s
    box=$(wait_for_wine_window "Gradolux") || { wine_fail "Alt+S did not show the message box"; return 1; }
    xdotool key Return
    wait_until_unmapped "$box" || { wine_fail "Enter did not close the message box"; return 1; }
    wait_for_focus "$about" || { wine_fail "the focus did not come back to the About dialog"; return 1; }

    click_described "$main" Form1 Command2
    expect_clean_exit "Programm Beenden" || return 1
    echo "Windows keyboard and About dialog: passed"
}

# Closing the main window through its frame ends the whole program with exit code 0.
windows_close_main_window() {
    local main
    CASE=close-main-window
    start_wine_gradolux C.UTF-8 || return 1
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

    local code
    code=$(wine "$BUILD/exit_code.exe" "$(winepath -w "$setup")" /S 2>"$BUILD/setup.log" | tr -d '\r')
    [[ "$code" == 0 ]] || { wine_fail "the silent install ended with exit code '$code': $(tail -5 "$BUILD/setup.log")"; return 1; }
    for file in Gradolux.exe LIZENZ.txt LIESMICH.txt Deinstallieren.exe; do
        [[ -f "$folder/$file" ]] || { wine_fail "not installed: Program Files\\Gradolux\\$file"; return 1; }
    done
    cmp -s "$folder/Gradolux.exe" "$BUILD/Gradolux.exe" ||
        { wine_fail "the installed Gradolux.exe is not the built one"; return 1; }
    [[ -f "$shortcut" ]] || { wine_fail "no Start-menu entry for all users"; return 1; }
    local entry
    entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
    for value in "DisplayName +REG_SZ +Gradolux$" "DisplayVersion +REG_SZ +$VERSION$" \
        "Publisher +REG_SZ +Die Gradolux-Entwickler$" "InstallLocation +REG_SZ +C:\\\\Program Files\\\\Gradolux$" \
        "UninstallString +REG_SZ +\"C:\\\\Program Files\\\\Gradolux\\\\Deinstallieren.exe\" _\\?=C:\\\\Program Files\\\\Gradolux$"; do
        grep -Eq "^ +$value" <<<"$entry" || { wine_fail "the entry under installed programs lacks '$value': $entry"; return 1; }
    done

    # What the Start-menu entry starts is the installed program.
    DRIVE=$drive
    start_from_start_menu 'C:\Program Files\Gradolux' || return 1
    xdotool key space
    local main
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "the main window did not appear"; return 1; }
    click_described "$main" Form1 Command2
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

# Starts the installed program from the Start menu of all users and waits
# for its splash; checks it is the program in FOLDER.
start_from_start_menu() {
    local folder=$1 shortcut="$DRIVE/ProgramData/Microsoft/Windows/Start Menu/Programs/Gradolux.lnk"
    [[ -f "$shortcut" ]] || { wine_fail "no Start-menu entry for all users: $(cd "$DRIVE" && find . -name 'Gradolux.lnk')"; return 1; }
    wine start /wait /unix "$shortcut" >"$BUILD/gradolux.log" 2>&1 &
    APP=$!
    wait_for_wine_window "Gradolux" >/dev/null || { wine_fail "the Start-menu entry did not show the splash"; return 1; }
    local pid
    pid=$(xdotool getwindowpid "$FOUND")
    [[ "$(tr '\0' ' ' </proc/"$pid"/cmdline)" == *"$folder\\Gradolux.exe"* ]] ||
        { wine_fail "the Start-menu entry started $(tr '\0' ' ' </proc/"$pid"/cmdline)"; return 1; }
}

uninstalled() {
    [[ ! -e "$1" ]] && ! wine reg query "$2" >/dev/null 2>&1
}

no_uninstaller_runs() {
    ! pgrep -f '~nsu.*Un\.exe|Deinstallieren\.exe' >/dev/null
}

# Clicks the centre of the control of window TITLE (X window WINDOW) whose
# text matches the extended regular expression PATTERN, found through the
# Win32 API, so that it works at any resolution.
click_control() {
    local window=$1 title=$2 pattern=$3 line left top width height
    line=$(win_reader controls "$title" | grep -E -m1 "^[a-z]+\|-?[0-9]+\|-?[0-9]+\|[0-9]+\|[0-9]+\|$pattern") ||
        { echo "no control '$pattern' in '$title'" >&2; return 1; }
    IFS='|' read -r _ left top width height _ <<<"$line"
    xdotool mousemove --window "$window" $((left + width / 2)) $((top + height / 2)) click 1
}

labels_hold() {
    LABELS=$(win_reader labels "$MAIN_TITLE")
    grep -Fxq -- "$1" <<<"$LABELS"
}

# A sample of calculations across every band, with each option of every
# scale used at least once, under a locale: R as the locale writes it and the
# verdict, exactly. Without a choice on every scale, R is 0.
windows_calculations() {
    local locale=$1 separator=$2 main
    CASE=calculations-${locale%%.*}
    start_wine_gradolux "$locale" || return 1
    xdotool key Return
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "the main window did not appear"; return 1; }

    local low="In Ihrem Anwendungsfall ergibt sich bei der Berechnung ein GERINGES RISIKO. Prüfen Sie trotzdem ob ein Handlungsbedarf gegeben ist!"
    local possible="In Ihrem Anwendungsfall ergibt sich bei der Berechnung eine MÖGLICHE GEFÄHRDUNG. In diesem Fall besteht ein Handlungsbedarf!"
    local high="In Ihrem Anwendungsfall ergibt sich bei der Berechnung eine HOHE GEFÄHRDUNG. Es sind unbedingt Verbesserungen notwendig!"
    local immediate="SOFORTIGER HANDLUNGSBEDARF"
    local stop="Gefahr in Verzug - S T O P ! ! "
    local none="Es konnte keine Berechnung erfolgen, da Sie nicht in jedem Feld ein Optionsfeld ausgewählt haben!"
    # A value, H value, W value (as the captions write them), R, verdict.
    local -a cases=(
        "-|-|-|0|$none"
        "1|0,5|0,2|0${separator}1|$low"
        "3|1|6|18|$low"
        "1|2|10|20|$possible"
        "15|3|0,5|22${separator}5|$possible"
        "3|6|3|54|$possible"
        "7|10|1|70|$high"
        "100|2|1|200|$immediate"
        "40|10|1|400|$stop"
        "100|10|10|10000|$stop"
    )
    local entry a h w r verdict
    for entry in "${cases[@]}"; do
        IFS='|' read -r a h w r verdict <<<"$entry"
        if [[ "$a" != - ]]; then
            click_control "$main" "$MAIN_TITLE" ".*, A = $a\$" &&
                click_control "$main" "$MAIN_TITLE" ".*, H = $h\$" &&
                click_control "$main" "$MAIN_TITLE" ".*, W = $w\$" || { wine_fail "an option is missing"; return 1; }
        fi
        click_control "$main" "$MAIN_TITLE" "B&erechnen\$" || { wine_fail "no Berechnen button"; return 1; }
        wait_until r_is "$r" || { wine_fail "A = $a, H = $h, W = $w: R is '$R', expected '$r'"; return 1; }
        wait_until labels_hold "$verdict" || { wine_fail "A = $a, H = $h, W = $w: no verdict '$verdict' in: $LABELS"; return 1; }
    done
    xdotool key alt+F4
    expect_clean_exit "closing the main window" || return 1
    echo "Windows calculations ($locale): passed"
}

# Every control of the three windows where its description places it, at a
# resolution the prefix is set to (within 2 pixels).
windows_layout() {
    local dpi=$1 main about
    CASE=layout-$dpi-dpi
    set_resolution "$dpi"
    start_wine_gradolux C.UTF-8 || return 1
    compare_window "$dpi" frmSplash "Gradolux" || return 1
    xdotool key space
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "the main window did not appear"; return 1; }
    compare_window "$dpi" Form1 "$MAIN_TITLE" || return 1
    click_control "$main" "$MAIN_TITLE" "Programminfo\$" || { wine_fail "no Programminfo button"; return 1; }
    about=$(wait_for_wine_window "Info zu Gradolux") || { wine_fail "the About dialog did not open"; return 1; }
    compare_window "$dpi" frmAbout "Info zu Gradolux" || return 1
    xdotool key Escape
    wait_until window_gone "Info zu Gradolux" || { wine_fail "Escape did not close the About dialog"; return 1; }
    wait_for_focus "$main" || { wine_fail "the focus did not come back to the main window"; return 1; }
    xdotool key alt+F4
    expect_clean_exit "closing the main window" || return 1
    echo "Windows layout at $dpi dpi: passed"
}

compare_window() {
    local dpi=$1 name=$2 title=$3
    "$LIST_CONTROLS" "$name" >"$BUILD/described-$name.txt"
    win_reader controls "$title" >"$BUILD/read-$name.txt" || { wine_fail "$name cannot be read"; return 1; }
    python3 "$(dirname "${BASH_SOURCE[0]}")/compare_layout.py" "$dpi" "$BUILD/described-$name.txt" \
        "$BUILD/read-$name.txt" || { wine_fail "$name is not laid out as described: $(cat "$BUILD/read-$name.txt")"; return 1; }
}

# The icon the window manager shows in the title bar, as Wine hands it over.
expect_icon() {
    xprop -id "$1" _NET_WM_ICON 2>/dev/null | grep -q 'Icon (16 x 16)' ||
        { wine_fail "the window $1 has no title-bar icon"; return 1; }
}

frame_is() {
    FRAME=$(win_reader frame "$1")
    [[ "$FRAME" == "$2" ]]
}

expect_frame() {
    frame_is "$1" "$2" || { wine_fail "the window '$1' has the frame '$FRAME', expected '$2'"; return 1; }
}

# The frames of the three windows: the splash a bare bordered box without
# title bar or taskbar entry; the main window sizable with every title-bar
# button and a taskbar entry; the About dialog with a fixed dialog frame and a
# normal title bar (not a tool window's), no taskbar entry, and the main
# window usable while it is open. Each title bar shows the application's icon.
windows_window_frames() {
    local main about
    CASE=window-frames
    start_wine_gradolux C.UTF-8 || return 1
    expect_frame "Gradolux" "dlgframe owned" || return 1
    xdotool key space
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "the main window did not appear"; return 1; }
    expect_frame "$MAIN_TITLE" "caption thickframe sysmenu minimizebox maximizebox" || return 1
    expect_icon "$main" || return 1
    click_control "$main" "$MAIN_TITLE" "Programminfo\$" || { wine_fail "no Programminfo button"; return 1; }
    about=$(wait_for_wine_window "Info zu Gradolux") || { wine_fail "the About dialog did not open"; return 1; }
    expect_frame "Info zu Gradolux" "caption sysmenu dlgmodalframe owned" || return 1
    expect_icon "$about" || return 1
    # At its fixed place: its client area at 2340, 1935 twips from the
    # screen's corner (156, 129 pixels at 96 dpi), 5730 x 3555 twips large.
    local place
    place=$(win_reader place "Info zu Gradolux")
    [[ "$place" == "156|129|382|237" ]] || { wine_fail "the About dialog's client area is at $place"; return 1; }

    # The main window takes clicks while the dialog stays open.
    click_control "$main" "$MAIN_TITLE" ".*, H = 6\$" || { wine_fail "no option H = 6"; return 1; }
    wait_until checked_is " REGELMÄSSIG, täglich, H = 6" || { wine_fail "the main window did not take a click beside the About dialog: checked '$CHECKED'"; return 1; }
    find_wine_window "Info zu Gradolux" || { wine_fail "the About dialog closed"; return 1; }
    click_control "$main" "$MAIN_TITLE" "Programm Be&enden\$" || { wine_fail "no Programm Beenden button"; return 1; }
    expect_clean_exit "Programm Beenden with the About dialog open" || return 1
    echo "Windows window frames: passed"
}

checked_is() {
    CHECKED=$(win_reader checked "$MAIN_TITLE")
    [[ "$CHECKED" == "$1" ]]
}

# Screen readers name a text box by the label created right before it: the
# result box comes right after „Rechnerisches Ergebnis für das Risiko "R"“.
windows_text_box_label() {
    local main before
    CASE=text-box-label
    start_wine_gradolux C.UTF-8 || return 1
    xdotool key space
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "the main window did not appear"; return 1; }
    before=$(win_reader controls "$MAIN_TITLE" | grep -B1 '^edit|' | head -1)
    [[ "$before" == static\|*\|'Rechnerisches Ergebnis für das Risiko "R"' ]] ||
        { wine_fail "the result box comes after '$before', not after its label"; return 1; }
    xdotool key alt+F4
    expect_clean_exit "closing the main window" || return 1
    echo "Windows text box label: passed"
}

# While the message box of „Systeminfo...“ is open no window takes input: a
# click on „Berechnen“ computes nothing. Afterwards the focus is back on the
# button that opened the box.
windows_modal_message_box() {
    local main about box
    CASE=modal-message-box
    start_wine_gradolux C.UTF-8 || return 1
    xdotool key space
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "the main window did not appear"; return 1; }
    click_control "$main" "$MAIN_TITLE" "Programminfo\$" || { wine_fail "no Programminfo button"; return 1; }
    about=$(wait_for_wine_window "Info zu Gradolux") || { wine_fail "the About dialog did not open"; return 1; }
    click_control "$about" "Info zu Gradolux" "&Systeminfo...\$" || { wine_fail "no Systeminfo button"; return 1; }
    box=$(wait_for_wine_window "Gradolux") || { wine_fail "Systeminfo did not show the message box"; return 1; }
    click_control "$main" "$MAIN_TITLE" "B&erechnen\$" || { wine_fail "no Berechnen button"; return 1; }
    settle "$main" || { wine_fail "the main window did not answer"; return 1; }
    [[ "$(win_reader text "$MAIN_TITLE")" == "" ]] || { wine_fail "„Berechnen“ computed while the message box was open"; return 1; }
    find_wine_window "Gradolux" || { wine_fail "the message box went away"; return 1; }
    wait_for_focus "$box" || { wine_fail "the message box lost the keyboard to another window"; return 1; }
    xdotool key Return
    wait_until_unmapped "$box" || { wine_fail "Enter did not close the message box"; return 1; }
    expect_focus "Button|&Systeminfo..." || return 1
    click_control "$main" "$MAIN_TITLE" "B&erechnen\$" || { wine_fail "no Berechnen button"; return 1; }
    wait_until r_is 0 || { wine_fail "„Berechnen“ did not compute after the box closed: R is '$R'"; return 1; }
    click_control "$main" "$MAIN_TITLE" "Programm Be&enden\$" || { wine_fail "no Programm Beenden button"; return 1; }
    expect_clean_exit "Programm Beenden" || return 1
    echo "Windows modal message box: passed"
}

# A plain letter acts like Alt with it: „e“, shared by „Berechnen“ and
# „Programm Beenden“, only moves the focus between them, never computes or
# ends the program; in the result box it is typed.
windows_plain_letters() {
    local main
    CASE=plain-letters
    start_wine_gradolux C.UTF-8 || return 1
    xdotool key space
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "the main window did not appear"; return 1; }
    expect_focus "Button|B&erechnen" || return 1
    xdotool key e
    expect_focus "Button|Programm Be&enden" || return 1
    xdotool key e
    expect_focus "Button|B&erechnen" || return 1
    xdotool key e
    expect_focus "Button|Programm Be&enden" || return 1
    settle "$main" || { wine_fail "the main window did not answer"; return 1; }
    kill -0 "$APP" 2>/dev/null || { wine_fail "a plain „e“ ended the program"; return 1; }
    [[ "$(win_reader text "$MAIN_TITLE")" == "" ]] || { wine_fail "a plain „e“ computed"; return 1; }
    xdotool key Tab e
    wait_until r_is e || { wine_fail "„e“ was not typed into the result box: '$R'"; return 1; }
    xdotool key alt+F4
    expect_clean_exit "closing the main window" || return 1
    echo "Windows plain letters: passed"
}

# Clicks „Berechnen“ and waits a little for the listener to report the
# verdict; true once it has.
calculation_heard() {
    grep -q "$1" "$events" && return 0
    click_control "$main" "$MAIN_TITLE" "B&erechnen\$" || return 1
    settle "$main" || return 1
    local end=$((SECONDS + 3))
    until grep -q "$1" "$events"; do
        ((SECONDS < end)) || return 1
        sleep 0.05
    done
}

picture_named() {
    NAMES=$(win_reader names "Info zu Gradolux")
    grep -q '|Programmsymbol$' <<<"$NAMES"
}

# What a screen reader reads through MSAA from another process: the splash's
# name, the About picture's name, one Tab stop per option group, and the
# verdict's live-region event after every calculation, once.
windows_screen_reader() {
    local main about listener events=$BUILD/live-region-events.txt
    CASE=screen-reader
    start_wine_gradolux C.UTF-8 || return 1
    [[ "$(win_reader names Gradolux | head -1)" == Gradolux ]] || { wine_fail "the splash is named '$(win_reader names Gradolux | head -1)'"; return 1; }
    xdotool key space
    main=$(wait_for_wine_window "$MAIN_TITLE") || { wine_fail "the main window did not appear"; return 1; }
    # Tab stops once in each option group, on its first option by tab index.
    local expected
    for expected in "Button|Programm Be&enden" "Edit|" \
        "Button| ERNSTE  Auswirkung, z.B. bleibende Invalidität, Schaden von 70.000 - 700.000 €, A = 7" \
        "Button| SEHR SELTEN, weniger als 1 x jährlich, H = 0,5" "Button| NICHT vorstellbar, W = 0,2" \
        "Button|Programminfo" "Button|B&erechnen"; do
        xdotool key Tab
        expect_focus "$expected" || return 1
    done

    LC_ALL=C.UTF-8 LANG=C.UTF-8 wine "$BUILD/win_reader.exe" listen 120 >"$events" 2>/dev/null &
    listener=$!
    wait_until grep -q listening "$events" || { wine_fail "the event listener did not start"; return 1; }
    # Wine tells a program about a new event hook only when the program next
    # asks the server for something; until then its events may go unheard.
    # So the first calculation is repeated (a click, not a key: the
    # listener's start may take the keyboard focus for a moment) until the
    # listener hears one, within the usual deadline.
    wait_until calculation_heard "Es konnte keine Berechnung erfolgen" ||
        { wine_fail "no live-region event named the verdict: $(tr -d '\r' <"$events")"; return 1; }
    local before
    before=$(tr -d '\r' <"$events" | grep -c "^Static|")
    click_control "$main" "$MAIN_TITLE" ".*, A = 3\$" || { wine_fail "no option A = 3"; return 1; }
    click_control "$main" "$MAIN_TITLE" ".*, H = 1\$" || { wine_fail "no option H = 1"; return 1; }
    click_control "$main" "$MAIN_TITLE" ".*, W = 6\$" || { wine_fail "no option W = 6"; return 1; }
    click_control "$main" "$MAIN_TITLE" "B&erechnen\$" || { wine_fail "no Berechnen button"; return 1; }
    wait_until grep -q "GERINGES RISIKO" "$events" ||
        { wine_fail "no live-region event after the second calculation: $(tr -d '\r' <"$events")"; return 1; }
    settle "$main" || { wine_fail "the main window did not answer"; return 1; }
    local count
    count=$(tr -d '\r' <"$events" | grep -c "^Static|")
    ((count == before + 1)) || { wine_fail "$((count - before)) live-region events for one calculation: $(tr -d '\r' <"$events")"; return 1; }
    kill "$listener" 2>/dev/null || true

    click_control "$main" "$MAIN_TITLE" "Programminfo\$" || { wine_fail "no Programminfo button"; return 1; }
    about=$(wait_for_wine_window "Info zu Gradolux") || { wine_fail "the About dialog did not open"; return 1; }
    wait_until picture_named || { wine_fail "the About picture has no name: $NAMES"; return 1; }
    xdotool key Tab
    expect_focus "Static|Programmsymbol" || return 1
    xdotool key Escape
    wait_until window_gone "Info zu Gradolux" || { wine_fail "Escape did not close the About dialog"; return 1; }
    click_control "$main" "$MAIN_TITLE" "Programm Be&enden\$" || { wine_fail "no Programm Beenden button"; return 1; }
    expect_clean_exit "Programm Beenden" || return 1
    echo "Windows screen reader: passed"
}
