; SPDX-License-Identifier: MIT
; Gradolux's German installer for 64-bit Windows: installs for every user of
; the machine into Program Files, adds a Start-menu entry and an entry under
; the installed programs, and takes all of it away again on uninstall.
; Silent with /S. makensis is given VERSION, SOURCE (the folder with
; Gradolux.exe, LIZENZ.txt, LIESMICH.txt and gradolux.ico), OUTFILE,
; MSI_UPGRADE_CODE (by which the MSI's Gradolux is recognised) and, to sign
; the installer and its uninstaller, SIGN (a command taking the file).
;
; Upgrades are safe: a newer version goes into the folder of the installed
; one; a file that cannot be written is a failure, never skipped; while
; Gradolux runs nothing is changed; an older version is refused, and so is
; an installation over the MSI's Gradolux. Exit codes besides NSIS's own
; (0 done, 1 cancelled by the user, 2 aborted):
;   3  Gradolux is running (installer and uninstaller); nothing was changed
;   4  a newer version of Gradolux is installed; nothing was changed
;   5  Gradolux is installed by the MSI; nothing was changed
;
; Both uninstall commands of the entry run the uninstaller in place (_?=), so
; each returns only when the uninstall is done, with its exit code. Its own
; file and the folder then go at the next start of Windows; an installation
; before that start cancels their deletion (cancel_pending_deletes.exe), or
; the restart would delete the new uninstaller.

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
; The uninstaller is written from the installer's own file and carries the
; same version record: its description names both.
VIAddVersionKey /LANG=1031 "FileDescription" "Installation und Deinstallation von ${PRODUCT}"

!define MUI_ICON "${SOURCE}\gradolux.ico"
!define MUI_UNICON "${SOURCE}\gradolux.ico"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!define MUI_LICENSEPAGE_TEXT_TOP "Gradolux steht unter der MIT-Lizenz. Verbindlich ist ihr englischer Text am Ende."
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
!define EXIT_OTHER_PACKAGE 5

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

; The Start menu of all users. Gradolux installed by the MSI is never
; installed over (one product, one entry); an installed newer version is
; never replaced by an older one (the same version is installed again, which
; repairs it).
Function .onInit
    SetShellVarContext all
    System::Call 'msi::MsiEnumRelatedProductsW(w "{${MSI_UPGRADE_CODE}}", i 0, i 0, w .r1) i .r0'
    ${If} $0 == 0
        MessageBox MB_OK|MB_ICONSTOP \
            "Gradolux ist bereits mit dem Windows-Installer-Paket (MSI) installiert.$\r$\n$\r$\nBitte deinstallieren Sie es zuerst. Die Installation wird abgebrochen." \
            /SD IDOK
        SetErrorLevel ${EXIT_OTHER_PACKAGE}
        Quit
    ${EndIf}
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
    ; A deployment tool may append /S to the entry's uninstall command, which
    ; then ends inside the folder that _?= names: the folder reads with " S"
    ; at its end (a "/" is no path character), the switch itself counts.
    ${IfNot} ${FileExists} "$INSTDIR\${UNINSTALLER}"
        StrCpy $0 $INSTDIR "" -2
        StrCpy $1 $INSTDIR -2
        ${If} $0 == " S"
        ${AndIf} ${FileExists} "$1\${UNINSTALLER}"
            StrCpy $INSTDIR $1
            SetSilent silent
        ${EndIf}
    ${EndIf}
    ; Never an uninstall of a folder Gradolux was not installed in: its entry
    ; and Start-menu link would go while the program stays.
    ${IfNot} ${FileExists} "$INSTDIR\${UNINSTALLER}"
        MessageBox MB_OK|MB_ICONSTOP "In $INSTDIR ist Gradolux nicht installiert." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    SetShellVarContext all
    Call un.refuseWhileRunning
FunctionEnd


Section "Gradolux"
    Call refuseWhileRunning
    InitPluginsDir
    File "/oname=$PLUGINSDIR\cancel_pending_deletes.exe" "${SOURCE}\cancel_pending_deletes.exe"
    ExecWait '"$PLUGINSDIR\cancel_pending_deletes.exe" "$INSTDIR"' $0
    ${If} $0 != 0
        MessageBox MB_OK|MB_ICONSTOP \
            "Die beim Neustart von Windows ausstehenden Löschungen in $INSTDIR lassen sich nicht aufheben.$\r$\n$\r$\nDie Installation wird abgebrochen." \
            /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    SetOutPath "$INSTDIR"
    File "${SOURCE}\Gradolux.exe"
    File "${SOURCE}\LIZENZ.txt"
    File "${SOURCE}\LIESMICH.txt"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Gradolux.exe" "" "$INSTDIR\Gradolux.exe" 0 \
        SW_SHOWNORMAL "" "Risiken nach der CEL-Methode bewerten"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\Gradolux.exe$\",0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    ; Run in place (_?=), the uninstaller returns only when it is done.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\${UNINSTALLER}$\" _?=$INSTDIR"
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
    ; at the next start of Windows (an installation before then cancels that).
    Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
    SetOutPath "$TEMP"
    RMDir /REBOOTOK "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
