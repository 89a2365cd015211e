; Per-user setup for Vellomar: no administrator rights, the program in the
; user's own programs folder, like its autostart value and data folder.
; The build passes VERSION, ARCH (x86 or x64), PROGRAM, ICON, README,
; LICENSE and OUTFILE, and SIGN (a command that signs the file named by its
; last argument) when the packages are to be signed.

Unicode true
ManifestDPIAware true
; A file in use is never skipped: the user retries, or the setup fails.
AllowSkipFiles off
; No build-time file dates in the package, so that two builds are the same.
SetDateSave off

!ifdef SIGN
  !finalize '${SIGN} "%1"' = 0
  !uninstfinalize '${SIGN} "%1"' = 0
!endif
!if "${ARCH}" == "x64"
  Target amd64-unicode
!endif

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Vellomar"
!define PUBLISHER "The Vellomar team"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellomar"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define HOME_PAGE "http://orlamine.example.net/software/vellomar.html"
!define FEEDBACK_PAGE "http://vellomar.example.org/feedback.html"
; Quarter seconds that a held program file is waited for: about 5 s.
!define HELD_FILE_WAIT 20
!define IN_USE_TEXT "Vellomar is running from $INSTDIR.$\r$\n$\r$\nClose its settings window, then press Retry."

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "(C) 2005 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

; The finish page offers the first run: "/install" makes the data folder and
; opens the settings for the choice of pictures. A silent install skips it.
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vellomar.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "/install"
!define MUI_FINISHPAGE_RUN_TEXT "Choose the pictures folder now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckInstallFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "Your settings and the converted wallpaper are kept unless you tick them below."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The program of this installation is running when its file cannot be opened
; for writing. A virus scanner or the search indexer reading a freshly written
; program holds it the same way for a moment: the caller passes how many
; quarter seconds to wait that out before deciding. Then offers Retry and
; Cancel; a silent run takes Cancel. Leaves "ok" or "cancel" on the stack.
!macro WAIT_UNTIL_CLOSED un
Function ${un}WaitUntilClosed
  Exch $1
  Push $0
  retry:
    IfFileExists "$INSTDIR\Vellomar.exe" 0 closed
    ClearErrors
    FileOpen $0 "$INSTDIR\Vellomar.exe" a
    IfErrors in_use
    FileClose $0
    Goto closed
  in_use:
    IntCmp $1 0 ask ask
    IntOp $1 $1 - 1
    Sleep 250
    Goto retry
  ask:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${IN_USE_TEXT}" /SD IDCANCEL IDRETRY retry
    Pop $0
    Pop $1
    Push "cancel"
    Return
  closed:
    Pop $0
    Pop $1
    Push "ok"
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_CLOSED ""
!insertmacro WAIT_UNTIL_CLOSED "un."

Function .onInit
  SetShellVarContext current
FunctionEnd

; The folder page refuses a folder the user cannot write to, and one whose
; program is running.
Function CheckInstallFolder
  IfFileExists "$INSTDIR\*.*" existed
    CreateDirectory "$INSTDIR"
  existed:
  ClearErrors
  FileOpen $0 "$INSTDIR\vellomar-write-check.tmp" w
  IfErrors not_writable
  FileClose $0
  Delete "$INSTDIR\vellomar-write-check.tmp"
  RMDir "$INSTDIR" ; only when it is empty, that is when it was made just now
  Push 0 ; the page asks at once, so that its window never freezes
  Call WaitUntilClosed
  Pop $0
  StrCmp $0 "ok" +2
    Abort
  Return
  not_writable:
    RMDir "$INSTDIR"
    MessageBox MB_OK|MB_ICONSTOP "You cannot write to $INSTDIR.$\r$\nChoose a folder of your own."
    Abort
FunctionEnd

Section "Vellomar" SecProgram
  SectionIn RO
  ; Checked again here for a silent install, which has no folder page.
  Push ${HELD_FILE_WAIT}
  Call WaitUntilClosed
  Pop $0
  StrCmp $0 "ok" +3
    SetErrorLevel 2
    Quit
  SetOutPath "$INSTDIR"
  File "/oname=Vellomar.exe" "${PROGRAM}"
  File "/oname=README.txt" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Vellomar.exe" "/config" "$INSTDIR\Vellomar.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vellomar.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_PAGE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "HelpLink" "${FEEDBACK_PAGE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Function un.onInit
  SetShellVarContext current
  ; Before anything is removed: a running program would be left behind.
  Push ${HELD_FILE_WAIT}
  Call un.WaitUntilClosed
  Pop $0
  StrCmp $0 "ok" +3
    SetErrorLevel 2
    Quit
FunctionEnd

Section "un.Vellomar" UnSecProgram
  SectionIn RO
  ; A log-on entry that starts this installation's program would dangle.
  ; One naming another copy of the program is that copy's business. Both
  ; are compared by their long forms: the entry names the program's long
  ; path, while $INSTDIR may be a short one the user typed.
  ReadRegStr $0 HKCU "${RUN_KEY}" "Vellomar"
  StrCpy $1 $0 1
  StrCmp $1 '"' 0 unquoted
    StrCpy $0 $0 "" 1
    StrCpy $0 $0 -1
  unquoted:
  System::Call 'kernel32::GetLongPathNameW(w r0, w .r2, i ${NSIS_MAX_STRLEN}) i .r3'
  StrCmp $3 0 0 +2
    StrCpy $2 $0
  System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR\Vellomar.exe", w .r4, i ${NSIS_MAX_STRLEN}) i .r5'
  StrCmp $5 0 0 +2
    StrCpy $4 "$INSTDIR\Vellomar.exe"
  StrCmp $2 $4 remove_autostart keep_autostart
  remove_autostart:
    DeleteRegValue HKCU "${RUN_KEY}" "Vellomar"
  keep_autostart:

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\Vellomar.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\README.md" ; what earlier setups put there
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.My settings and the converted wallpaper" UnSecData
  RMDir /r "$APPDATA\${PRODUCT}"
SectionEnd
