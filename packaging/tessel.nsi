; Per-user installer of Tessel+ (no administrator rights), built by the `release` target:
;   makensis -DVERSION=4.1.9 -DBITS=64 -DNSIS_TARGET=amd64-unicode -DSTAGE=<files>
;            -DOUTFILE=<setup.exe> tessel.nsi
; STAGE holds TESSEL32.EXE, TESSHOOK32.DLL, TESSHIDE32.EXE, TESSEL32.CHM and the demo
; settings TESSEL32.INI.
;
; The program goes to $LOCALAPPDATA\Programs\Tessel+, the user's settings to
; $APPDATA\Tessel+\TESSEL32.INI: created from the demo settings when there is none, never
; overwritten, and removed by the uninstaller only when the user says so. The Start-menu
; shortcut names that file with /I:, so the program never writes to the Windows folder.
;
; "Start Tessel+ when I sign in" (finish page; /AUTOSTART=1 or /AUTOSTART=0 for silent
; installs) writes the shortcut's command line to the user's Run key, or removes it. Without
; a choice an install keeps what the previous one chose.

!macro REQUIRE name
  !ifndef ${name}
    !error "define ${name} (makensis -D${name}=...)"
  !endif
!macroend
!insertmacro REQUIRE VERSION
!insertmacro REQUIRE BITS
!insertmacro REQUIRE NSIS_TARGET
!insertmacro REQUIRE STAGE
!insertmacro REQUIRE OUTFILE

Target ${NSIS_TARGET}
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Tessel+"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessel+"
!define SETTINGS_DIR "$APPDATA\Tessel+"
!define SETTINGS_FILE "$APPDATA\Tessel+\TESSEL32.INI"
!define SHORTCUT "$SMPROGRAMS\Tessel+.lnk"
; The program and its arguments, for the shortcut, "Start Tessel+ now" and the Run value; the
; /I: value runs to the end of the command line, so it needs no quotes even with blanks.
!define PROGRAM "$INSTDIR\TESSEL32.EXE"
!define PROGRAM_ARGS "/I:${SETTINGS_FILE}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Tessel+"
; The files of a running Tessel+: programs and library are mapped, the help viewer holds
; the help file open.
!define PROGRAM_FILES "TESSEL32.EXE TESSHOOK32.DLL TESSHIDE32.EXE TESSEL32.CHM"

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} (${BITS} bit) Setup"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tessel+"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup (${BITS} bit)"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PRODUCT}"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "${PROGRAM}"
!define MUI_FINISHPAGE_RUN_PARAMETERS "${PROGRAM_ARGS}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
; The second check box of the finish page is the autostart choice; it starts as the
; previous install left it (AutostartShow).
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Start ${PRODUCT} when I sign in"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION AutostartTicked
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; Custom page functions apply to the page inserted next: the finish page.
!define MUI_PAGE_CUSTOMFUNCTION_SHOW AutostartShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE AutostartLeave
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Sets $R0 to the first program file in $INSTDIR that another process holds (a file that
; cannot be opened for writing without sharing), or to "" when none is held.
!macro FIND_FILE_IN_USE prefix
Function ${prefix}FindFileInUse
  Push $R1
  Push $R2
  Push $R3
  Push $0
  StrCpy $R0 ""
  StrCpy $R1 "${PROGRAM_FILES} "
  ${Do}
    ${If} $R1 == ""
    ${OrIf} $R0 != ""
      ${ExitDo}
    ${EndIf}
    ; next name: up to the blank
    StrCpy $R2 0
    ${Do}
      StrCpy $0 $R1 1 $R2
      ${IfThen} $0 == " " ${|} ${ExitDo} ${|}
      IntOp $R2 $R2 + 1
    ${Loop}
    StrCpy $0 $R1 $R2
    IntOp $R2 $R2 + 1
    StrCpy $R1 $R1 "" $R2
    ${If} ${FileExists} "$INSTDIR\$0"
      ; GENERIC_WRITE, no sharing, OPEN_EXISTING
      System::Call 'kernel32::CreateFileW(w "$INSTDIR\$0", i 0x40000000, i 0, p 0, i 3, i 0x80, p 0) p.R2 ?e'
      Pop $R3
      ${If} $R2 P<> -1
        System::Call 'kernel32::CloseHandle(p R2)'
      ${ElseIf} $R3 = 32
        StrCpy $R0 $0
      ${EndIf}
    ${EndIf}
  ${Loop}
  Pop $0
  Pop $R3
  Pop $R2
  Pop $R1
FunctionEnd

; Never replace or remove the files of a running Tessel+: the user closes it and retries;
; a silent run ends with exit code 2 instead.
Function ${prefix}RefuseWhileRunning
  ${Do}
    Call ${prefix}FindFileInUse
    ${IfThen} $R0 == "" ${|} ${ExitDo} ${|}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} is running ($R0 is in use).$\r$\n$\r$\nPlease close ${PRODUCT} (button menu: Controls, Close; \
      in hidden mode start ${PRODUCT} again to show the button first), then choose Retry." \
      /SD IDCANCEL IDRETRY retry
    DetailPrint "${PRODUCT} is running: $R0 is in use"
    SetErrorLevel 2
    Abort "${PRODUCT} is running: $R0 is in use"
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro FIND_FILE_IN_USE ""
!insertmacro FIND_FILE_IN_USE "un."

; Autostart at sign-in: "1" or "0". It starts as the previous install left it (a Run value
; exists or not), /AUTOSTART= overrides that, the finish page's check box shows and changes
; it, and .onInstSuccess applies it. Silent installs show no page, so only the first two
; count for them.
Var Autostart

Function .onInit
  ClearErrors
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} ${Errors}
    StrCpy $Autostart 0
  ${Else}
    StrCpy $Autostart 1
  ${EndIf}

  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART=" $1
  ${IfNot} ${Errors}
    ${If} $1 == 1
    ${OrIf} $1 == 0
      StrCpy $Autostart $1
    ${Else}
      MessageBox MB_OK|MB_ICONSTOP "/AUTOSTART= takes 1 (on) or 0 (off), not $\"$1$\"." /SD IDOK
      SetErrorLevel 1
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

Function AutostartShow
  ${If} $Autostart == 1
    ${NSD_Check} $mui.FinishPage.ShowReadme
  ${EndIf}
FunctionEnd

; The choice is read from the box when the finish page is left (BST_CHECKED is 1).
Function AutostartLeave
  ${NSD_GetState} $mui.FinishPage.ShowReadme $Autostart
FunctionEnd

; MUI calls this for the ticked box (instead of opening a file).
Function AutostartTicked
  StrCpy $Autostart 1
FunctionEnd

; After the last page (or at the end of a silent install); an install that was refused or
; cancelled leaves the Run value alone. An existing value is written again, so that it
; names the folder of this install.
Function .onInstSuccess
  ${If} $Autostart == 1
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"${PROGRAM}" ${PROGRAM_ARGS}'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
FunctionEnd

Section "Tessel+"
  Call RefuseWhileRunning
  SetOutPath "$INSTDIR"
  File "${STAGE}/TESSEL32.EXE"
  File "${STAGE}/TESSHOOK32.DLL"
  File "${STAGE}/TESSHIDE32.EXE"
  File "${STAGE}/TESSEL32.CHM"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ${IfNot} ${FileExists} "${SETTINGS_FILE}"
    SetOutPath "${SETTINGS_DIR}"
    File "/oname=TESSEL32.INI" "${STAGE}/TESSEL32.INI"
    DetailPrint "Settings and demo maps: ${SETTINGS_FILE}"
  ${Else}
    DetailPrint "Kept your settings: ${SETTINGS_FILE}"
  ${EndIf}

  ; The shortcut starts in the program folder and names the settings file.
  SetOutPath "$INSTDIR"
  CreateShortCut "${SHORTCUT}" "${PROGRAM}" "${PROGRAM_ARGS}" \
    "${PROGRAM}" 0 SW_SHOWNORMAL "" "${PRODUCT} keyboard mapper"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} (${BITS} bit)"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TESSEL32.EXE"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Call un.RefuseWhileRunning
  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  Delete "$INSTDIR\TESSEL32.EXE"
  Delete "$INSTDIR\TESSHOOK32.DLL"
  Delete "$INSTDIR\TESSHIDE32.EXE"
  Delete "$INSTDIR\TESSEL32.CHM"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; The settings hold the user's own maps: removed only on request, never silently.
  ${If} ${FileExists} "${SETTINGS_FILE}"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Remove your settings and maps as well?$\r$\n${SETTINGS_FILE}" /SD IDNO IDYES remove
    DetailPrint "Kept your settings: ${SETTINGS_FILE}"
    Goto done
    remove:
    Delete "${SETTINGS_FILE}"
    RMDir "${SETTINGS_DIR}"
    done:
  ${EndIf}
SectionEnd
