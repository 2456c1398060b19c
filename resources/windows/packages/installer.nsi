; SPDX-License-Identifier: MIT
; Gradolux's German installer for 64-bit Windows: installs for every user of
; the machine into Program Files, adds a Start-menu entry and an entry under
; the installed programs, and takes all of it away again on uninstall.
; Silent with /S. makensis is given VERSION, SOURCE (the folder with
; Gradolux.exe, LIZENZ.txt, LIESMICH.txt and gradolux.ico), OUTFILE and,
; to sign the installer and its uninstaller, SIGN (a command taking the file).
;
; Upgrades are safe: a newer version goes into the folder of the installed
; one; a file that cannot be written is a failure, never skipped; while
; Gradolux runs nothing is changed; an older version is refused. Exit codes
; besides NSIS's own (0 done, 1 cancelled by the user, 2 aborted):
;   3  Gradolux is running (installer and uninstaller); nothing was changed
;   4  a newer version of Gradolux is installed; nothing was changed

; A 64-bit installer for the 64-bit program: it writes to the 64-bit
; registry and Program Files without redirection, and needs no 32-bit layer.
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WordFunc.nsh"

!ifdef SIGN
!finalize '${SIGN} "%1"'
!uninstfinalize '${SIGN} "%1"'
!endif

!define PRODUCT "Gradolux"
!define PUBLISHER "Die Gradolux-Entwickler"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Gradolux"
!define UNINSTALLER "Deinstallieren.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An upgrade goes where the installed version is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
AllowSkipFiles off
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1031 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1031 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"
VIAddVersionKey /LANG=1031 "FileDescription" "Installationsprogramm für ${PRODUCT}"

!define MUI_ICON "${SOURCE}\gradolux.ico"
!define MUI_UNICON "${SOURCE}\gradolux.ico"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${SOURCE}\LIZENZ.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Gradolux.exe"
!define MUI_FINISHPAGE_RUN_TEXT "${PRODUCT} jetzt starten"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

!define EXIT_RUNNING 3
!define EXIT_NEWER_INSTALLED 4

; Gradolux in $INSTDIR may not run while its files change: a running program
; cannot be opened for writing. Interactive: retry or cancel; silent: exit
; code 3. Either way nothing has been changed yet.
!macro REFUSE_WHILE_RUNNING un
Function ${un}refuseWhileRunning
    ${Do}
        ${IfNot} ${FileExists} "$INSTDIR\Gradolux.exe"
            Return
        ${EndIf}
        ClearErrors
        FileOpen $0 "$INSTDIR\Gradolux.exe" a
        ${IfNot} ${Errors}
            FileClose $0
            Return
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Gradolux läuft noch.$\r$\n$\r$\nBitte beenden Sie Gradolux und wählen Sie dann „Wiederholen“." \
            /SD IDCANCEL IDRETRY retry
        SetErrorLevel ${EXIT_RUNNING}
        Quit
        retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro REFUSE_WHILE_RUNNING ""
!insertmacro REFUSE_WHILE_RUNNING "un."

; The Start menu of all users; an installed newer version is never replaced
; by an older one (the same version is installed again, which repairs it).
Function .onInit
    SetShellVarContext all
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
    ${If} $0 != ""
        ${VersionCompare} "$0" "${VERSION}" $1
        ${If} $1 == 1
            MessageBox MB_OK|MB_ICONSTOP \
                "Gradolux $0 ist bereits installiert, eine neuere Version als ${VERSION}.$\r$\n$\r$\nDie Installation wird abgebrochen." \
                /SD IDOK
            SetErrorLevel ${EXIT_NEWER_INSTALLED}
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

Function un.onInit
    SetShellVarContext all
    Call un.refuseWhileRunning
FunctionEnd

Section "Gradolux"
    Call refuseWhileRunning
    SetOutPath "$INSTDIR"
    File "${SOURCE}\Gradolux.exe"
    File "${SOURCE}\LIZENZ.txt"
    File "${SOURCE}\LIESMICH.txt"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Gradolux.exe" "" "$INSTDIR\Gradolux.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\Gradolux.exe$\",0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\${UNINSTALLER}$\""
    ; Run in place (_?=), the silent uninstaller returns only when the files are gone.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\${UNINSTALLER}$\" /S _?=$INSTDIR"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\Gradolux.exe"
    Delete "$INSTDIR\LIZENZ.txt"
    Delete "$INSTDIR\LIESMICH.txt"
    ; Run in place, the uninstaller cannot remove itself: it and its folder go
    ; at the next start of Windows.
    Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
    RMDir /REBOOTOK "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
