; The Vorlund installer, one per architecture. Built by cmake/Installer.cmake (target
; "installer"), which passes:
;   VERSION      the file version, 2.0.1.0
;   ARCH         win32 or x64
;   NSIS_TARGET  x86-unicode or amd64-unicode (a 64-bit installer for the 64-bit program)
;   STAGE        the package target's directory of stripped files
;   GENERATED    where SignInTask.nsh (written from src/res/SignInTask.xml) is
;   ICON         the program's icon
;   OUTFILE      the installer to write
;   SIGN_CMAKE   cmake, and SIGN_SCRIPT cmake/Sign.cmake: they sign the uninstaller the setup
;                writes and the setup itself when a certificate is given
;
; Installs Vorlund.exe, VelComn.dll and README.txt into Program Files\Vorlund (a folder
; only administrators can change, which matters for a program that runs elevated), a
; Start-menu shortcut for all users, the Settings -> Apps entry, and optionally the sign-in
; task of the installing user. Vorlund.ini, the user's settings, is never written or
; replaced; the uninstaller asks before deleting it. A running Vorlund is closed politely
; (WM_CLOSE to its frame window, so that it saves its settings) and started again after an
; upgrade.

Unicode true
!ifdef SIGN_CMAKE
  !uninstfinalize '"${SIGN_CMAKE}" -DQUIET=1 "-DFILES=%1" -P "${SIGN_SCRIPT}"' = 0
  !finalize '"${SIGN_CMAKE}" -DQUIET=1 "-DFILES=%1" -P "${SIGN_SCRIPT}"' = 0
!endif
Target ${NSIS_TARGET}
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include x64.nsh
!include Sections.nsh
!include "${GENERATED}\SignInTask.nsh"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorlund"
!define PUBLISHER "Vorlund"
; How long a running Vorlund gets to save and end; the tries (2 s apart) of schtasks.
!define CLOSE_TIMEOUT_MS 10000
!define SCHTASKS_TRIES 6

Name "Vorlund"
OutFile "${OUTFILE}"
!if ${ARCH} == x64
  InstallDir "$PROGRAMFILES64\Vorlund"
!else
  InstallDir "$PROGRAMFILES\Vorlund"
!endif
BrandingText "Vorlund ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion ${VERSION}
VIAddVersionKey /LANG=0 ProductName "Vorlund"
VIAddVersionKey /LANG=0 FileDescription "Vorlund Setup"
VIAddVersionKey /LANG=0 FileVersion ${VERSION}
VIAddVersionKey /LANG=0 ProductVersion ${VERSION}
VIAddVersionKey /LANG=0 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=0 LegalCopyright "${PUBLISHER}"

Var WasRunning      ; 1 when a running Vorlund was closed (it is started again at the end)
Var TaskName        ; "Vorlund (<user name>)"
Var VorlundTaskUserId   ; DOMAIN\user, XML-escaped (SignInTask.nsh)
Var VorlundTaskCommand  ; the installed Vorlund.exe, XML-escaped (SignInTask.nsh)
Var DefaultDir      ; where this setup installs by default: under the system's Program Files
Var OtherArchDir    ; x64 setup: the folder of a 32-bit installation it replaces, or ""

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(RunProgram)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartAfterFinish

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; English first: the language of a Windows that is neither English nor Japanese.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"
!include "English.nsh"
!include "Japanese.nsh"

; ---------------------------------------------------------------------------------------
; Shared by the installer and the uninstaller (UN is "" or "un.").

!macro VORLUND_SHARED_FUNCTIONS UN

; Closes a running Vorlund the way its own Exit does: WM_CLOSE to its hidden frame (a
; top-level window titled "Vorlund" whose class name starts with "Vorlund:"; message boxes
; with that title are class #32770 and are passed over), then waits until the process has
; ended, having written Vorlund.ini. Sets $WasRunning. When it does not end, asks to retry;
; a silent run, or Cancel, fails the setup with exit code 2.
Function ${UN}CloseRunning
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $WasRunning 0
  StrCpy $1 0
  ${Do}
    System::Call 'user32::FindWindowExW(p 0, p r1, p 0, w "Vorlund") p .r0'
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetClassNameW(p r0, w .r2, i 256) i'
    StrCpy $2 $2 8
    ${IfNot} $2 S== "Vorlund:"
      StrCpy $1 $0
      ${Continue}
    ${EndIf}
    DetailPrint "$(ClosingProgram)"
    StrCpy $WasRunning 1
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r3) i'
    ; SYNCHRONIZE
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r3) p .r4'
    System::Call 'user32::PostMessageW(p r0, i 0x0010, p 0, p 0)'
    ${If} $4 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r4, i ${CLOSE_TIMEOUT_MS}) i .r2'
      System::Call 'kernel32::CloseHandle(p r4)'
    ${Else}
      ; No handle on the process: wait for its window instead.
      StrCpy $2 0
      ${Do}
        System::Call 'user32::IsWindow(p r0) i .r3'
        ${IfThen} $3 == 0 ${|} ${Break} ${|}
        Sleep 200
        IntOp $2 $2 + 200
      ${LoopUntil} $2 >= ${CLOSE_TIMEOUT_MS}
      ${IfThen} $3 == 0 ${|} StrCpy $2 0 ${|}
    ${EndIf}
    ${If} $2 != 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(CloseFailed)" /SD IDCANCEL IDRETRY retry
      SetErrorLevel 2
      Abort "$(CloseFailed)"
      retry:
    ${EndIf}
    ; Look again from the start: another copy (another user's) may be there too.
    StrCpy $1 0
  ${Loop}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; The sign-in task's name for the user running the setup: "Vorlund (<user name>)", and
; in $VorlundTaskUserId the user as DOMAIN\user (just the name when there is no domain).
Function ${UN}FindTaskUser
  Push $0
  Push $1
  System::Call 'advapi32::GetUserNameW(w .r0, *i ${NSIS_MAX_STRLEN}) i .r1'
  StrCpy $TaskName "Vorlund ($0)"
  ReadEnvStr $1 USERDOMAIN
  ${If} $1 == ""
    StrCpy $VorlundTaskUserId $0
  ${Else}
    StrCpy $VorlundTaskUserId "$1\$0"
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Runs schtasks with the arguments on the stack, without a console window; leaves its exit
; code in $0 and logs the call and its output.
Function ${UN}Schtasks
  Exch $2
  Push $3
  nsExec::ExecToStack '"$SYSDIR\schtasks.exe" $2'
  Pop $0
  Pop $3
  DetailPrint "schtasks $2: $0"
  ${If} $3 != ""
    DetailPrint "  $3"
  ${EndIf}
  Pop $3
  Pop $2
FunctionEnd


; XML-escapes the string on top of the stack (& < > " ').
Function ${UN}XmlEscape
  Exch $0
  Push $1
  Push $2
  Push $3
  StrCpy $1 ""
  StrCpy $2 0
  ${Do}
    StrCpy $3 $0 1 $2
    ${IfThen} $3 == "" ${|} ${Break} ${|}
    ${Select} $3
      ${Case} "&"
        StrCpy $3 "&amp;"
      ${Case} "<"
        StrCpy $3 "&lt;"
      ${Case} ">"
        StrCpy $3 "&gt;"
      ${Case} '"'
        StrCpy $3 "&quot;"
      ${Case} "'"
        StrCpy $3 "&apos;"
    ${EndSelect}
    StrCpy $1 "$1$3"
    IntOp $2 $2 + 1
  ${Loop}
  StrCpy $0 $1
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; The command of the user's sign-in task ($TaskName), read from the scheduler's own file of it
; (System32\Tasks\<name>, XML in UTF-16): left in $0, XML-escaped as the file has it; "" when
; the task starts no program (Wine keeps a task's Exec action without its command) or there
; is no such task.
Function ${UN}ReadTaskCommand
  Push $1
  Push $2
  Push $3
  StrCpy $0 ""
  !if ${ARCH} != x64
    ${DisableX64FSRedirection}
  !endif
  ClearErrors
  FileOpen $1 "$WINDIR\System32\Tasks\$TaskName" r
  !if ${ARCH} != x64
    ${EnableX64FSRedirection}
  !endif
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileReadUTF16LE $1 $2
      ${IfThen} ${Errors} ${|} ${Break} ${|}
      ; The element on a line of its own, indented: <Command>path</Command>
      ${Do}
        StrCpy $0 $2 1
        ${If} $0 == " "
        ${OrIf} $0 == "$\t"
          StrCpy $2 $2 "" 1
        ${Else}
          ${Break}
        ${EndIf}
      ${Loop}
      StrCpy $0 ""
      ${If} $2 S== ""
        ${Continue}
      ${EndIf}
      StrCpy $0 $2 9
      ${If} $0 S== "<Command>"
        StrCpy $2 $2 "" 9
        ; Up to the closing tag (the line may end in CR LF).
        StrCpy $0 ""
        ${Do}
          StrCpy $3 $2 10
          ${IfThen} $3 S== "</Command>" ${|} ${Break} ${|}
          ${IfThen} $2 == "" ${|} ${Break} ${|}
          StrCpy $3 $2 1
          StrCpy $0 "$0$3"
          StrCpy $2 $2 "" 1
        ${Loop}
        ${Break}
      ${EndIf}
      StrCpy $0 ""
    ${Loop}
    FileClose $1
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

!macroend
!insertmacro VORLUND_SHARED_FUNCTIONS ""
!insertmacro VORLUND_SHARED_FUNCTIONS "un."

; ---------------------------------------------------------------------------------------

Function .onInit
  !if ${ARCH} == x64
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "This installer is for 64-bit Windows." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    StrCpy $DefaultDir "$PROGRAMFILES64\Vorlund"
    ; One installation per machine: a 32-bit one is replaced by this one (its settings kept).
    SetRegView 32
    ReadRegStr $OtherArchDir HKLM "${UNINST_KEY}" InstallLocation
    SetRegView 64
  !else
    StrCpy $DefaultDir "$PROGRAMFILES\Vorlund"
    ; One installation per machine: over a 64-bit one, the 32-bit setup stops.
    ${If} ${RunningX64}
      SetRegView 64
      ReadRegStr $0 HKLM "${UNINST_KEY}" InstallLocation
      SetRegView 32
      ${If} $0 != ""
        MessageBox MB_OK|MB_ICONSTOP "$(Other64BitInstalled)" /SD IDOK
        SetErrorLevel 5
        Quit
      ${EndIf}
    ${EndIf}
  !endif
  ; An upgrade goes where the installed copy is (unless /D= chose a folder).
  ReadRegStr $0 HKLM "${UNINST_KEY}" InstallLocation
  ${If} $0 != ""
  ${AndIf} $INSTDIR == $DefaultDir
    StrCpy $INSTDIR $0
  ${EndIf}
  Call OfferSignInOnlyWhereProtected
FunctionEnd

; Registers the sign-in task from the XML of src/res/SignInTask.xml. A task service that
; does not answer yet makes schtasks fail with exit code 1 (SCHED_E_SERVICE_NOT_RUNNING):
; under Wine the service is started on the first request, and the start is refused while
; the service manager is busy (ERROR_SERVICE_DATABASE_LOCKED) or times out
; (ERROR_SERVICE_REQUEST_TIMEOUT). Hence up to SCHTASKS_TRIES tries two seconds apart,
; each confirmed with /query (which Windows answers; Wine 8's /query is a stub that always
; succeeds). When it finally fails: a message box, or exit code 3 when silent.
Function RegisterSignInTask
  Push $0
  Push $R0
  Push $R1
  Push $R9
  DetailPrint "$(RegisteringSignIn)"
  Call FindTaskUser
  Push $VorlundTaskUserId
  Call XmlEscape
  Pop $VorlundTaskUserId
  Push "$INSTDIR\Vorlund.exe"
  Call XmlEscape
  Pop $VorlundTaskCommand
  InitPluginsDir
  FileOpen $R9 "$PLUGINSDIR\SignInTask.xml" w
  !insertmacro VorlundWriteSignInTaskXml $R9
  FileClose $R9
  StrCpy $R1 0
  ${Do}
    IntOp $R1 $R1 + 1
    Push '/create /f /tn "$TaskName" /xml "$PLUGINSDIR\SignInTask.xml"'
    Call Schtasks
    ${If} $0 == 0
      Push '/query /tn "$TaskName"'
      Call Schtasks
      ${IfThen} $0 == 0 ${|} ${Break} ${|}
    ${EndIf}
    ${IfThen} $R1 >= ${SCHTASKS_TRIES} ${|} ${Break} ${|}
    Sleep 2000
  ${Loop}
  Delete "$PLUGINSDIR\SignInTask.xml"
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(SignInFailed)" /SD IDOK
    SetErrorLevel 3
  ${EndIf}
  Pop $R9
  Pop $R1
  Pop $R0
  Pop $0
FunctionEnd

; Removes the user's sign-in task, but only when it starts this installation's Vorlund.exe
; (or no program at all): a task that starts another copy is that copy's. A failed /delete means either that there is no such
; task or that the service did not answer yet (see RegisterSignInTask); the task is taken
; as gone when /query cannot find it or, since Wine's /query is a stub that always
; succeeds, when the scheduler's own file of it (System32\Tasks\<name>) is not there.
!macro VORLUND_REMOVE_SIGNIN_TASK UN
Function ${UN}RemoveSignInTask
  Push $0
  Push $1
  Push $R1
  Call ${UN}FindTaskUser
  Push "$INSTDIR\Vorlund.exe"
  Call ${UN}XmlEscape
  Pop $1
  Call ${UN}ReadTaskCommand
  ${If} $0 != ""
  ${AndIf} $0 != $1
    DetailPrint "$(SignInTaskOfOtherCopy)"
    Goto removed
  ${EndIf}
  StrCpy $R1 0
  ${Do}
    IntOp $R1 $R1 + 1
    Push '/delete /f /tn "$TaskName"'
    Call ${UN}Schtasks
    ${IfThen} $0 == 0 ${|} ${Break} ${|}
    Push '/query /tn "$TaskName"'
    Call ${UN}Schtasks
    ${IfThen} $0 != 0 ${|} ${Break} ${|}
    !if ${ARCH} != x64
      ${DisableX64FSRedirection}
    !endif
    ${If} ${FileExists} "$WINDIR\System32\Tasks\$TaskName"
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
    !if ${ARCH} != x64
      ${EnableX64FSRedirection}
    !endif
    ${IfThen} $0 == 0 ${|} ${Break} ${|}
    ${If} $R1 >= ${SCHTASKS_TRIES}
      StrCpy $1 $TaskName
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(SignInRemoveFailed)" /SD IDOK
      SetErrorLevel 3
      ${Break}
    ${EndIf}
    Sleep 2000
  ${Loop}
  removed:
  Pop $R1
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro VORLUND_REMOVE_SIGNIN_TASK ""
!insertmacro VORLUND_REMOVE_SIGNIN_TASK "un."

Section "$(SecProgramName)" SecProgram
  SectionIn RO
  Call CloseRunning
  SetOutPath "$INSTDIR"
  ; Vorlund.ini is the user's and is never part of what is installed.
  File "${STAGE}\Vorlund.exe"
  File "${STAGE}\VelComn.dll"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  !if ${ARCH} == x64
    Call ReplaceOtherArchitecture
  !endif

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\Vorlund.lnk" "$INSTDIR\Vorlund.exe" "" "$INSTDIR\Vorlund.exe" 0

  WriteRegStr HKLM "${UNINST_KEY}" DisplayName "Vorlund"
  WriteRegStr HKLM "${UNINST_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" DisplayIcon "$INSTDIR\Vorlund.exe,0"
  WriteRegStr HKLM "${UNINST_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" UninstallString '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" QuietUninstallString '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" NoModify 1
  WriteRegDWORD HKLM "${UNINST_KEY}" NoRepair 1
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKLM "${UNINST_KEY}" EstimatedSize $0
SectionEnd

Section "$(SecSignInName)" SecSignIn
  ; The task starts Vorlund elevated without asking: only from the folder under the system's
  ; Program Files, which only administrators can change.
  ${If} $INSTDIR != $DefaultDir
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(SignInNeedsProtectedFolder)" /SD IDOK
    SetErrorLevel 4
  ${Else}
    Call RegisterSignInTask
  ${EndIf}
SectionEnd

Section "-Finish"
  ; Sign-in unchecked: an earlier installation's task goes.
  ${IfNot} ${SectionIsSelected} ${SecSignIn}
    Call RemoveSignInTask
  ${EndIf}
  ${If} $WasRunning == 1
    Exec '"$INSTDIR\Vorlund.exe"'
  ${EndIf}
SectionEnd

; Elsewhere the sign-in option starts unchecked (it would be refused). A silent install
; keeps it, so that its refusal shows in the exit code (4).
Function OfferSignInOnlyWhereProtected
  ${If} $INSTDIR != $DefaultDir
  ${AndIfNot} ${Silent}
    !insertmacro UnselectSection ${SecSignIn}
  ${EndIf}
FunctionEnd

!if ${ARCH} == x64
; A 32-bit installation (closed already by CloseRunning) gives way to this one: its
; Vorlund.ini comes over unless this folder has one, its files and Apps entry go. The
; Start-menu shortcut has the same name and now starts this copy; the sign-in task, also of
; the same name, is registered for this copy (or removed) by the sections after this one.
Function ReplaceOtherArchitecture
  ${If} $OtherArchDir == ""
    Return
  ${EndIf}
  DetailPrint "$(ReplacingOtherArch)"
  ${If} $OtherArchDir != $INSTDIR
    ${IfNot} ${FileExists} "$INSTDIR\Vorlund.ini"
    ${AndIf} ${FileExists} "$OtherArchDir\Vorlund.ini"
      CopyFiles /SILENT "$OtherArchDir\Vorlund.ini" "$INSTDIR\Vorlund.ini"
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\Vorlund.ini"
      Delete "$OtherArchDir\Vorlund.ini"
    ${EndIf}
    Delete "$OtherArchDir\Vorlund.exe"
    Delete "$OtherArchDir\VelComn.dll"
    Delete "$OtherArchDir\README.txt"
    Delete "$OtherArchDir\Uninstall.exe"
    RMDir "$OtherArchDir"
  ${EndIf}
  SetRegView 32
  DeleteRegKey HKLM "${UNINST_KEY}"
  SetRegView 64
FunctionEnd
!endif

; The finish page's "start Vorlund", unless the upgrade has started it again already.
Function StartAfterFinish
  ${If} $WasRunning != 1
    Exec '"$INSTDIR\Vorlund.exe"'
  ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(SecProgramDesc)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSignIn} "$(SecSignInDesc)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; ---------------------------------------------------------------------------------------

Function un.onInit
  !if ${ARCH} == x64
    SetRegView 64
  !endif
FunctionEnd

Section Uninstall
  Call un.CloseRunning
  Call un.RemoveSignInTask

  Delete "$INSTDIR\Vorlund.exe"
  Delete "$INSTDIR\VelComn.dll"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Uninstall.exe"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Vorlund.lnk"
  DeleteRegKey HKLM "${UNINST_KEY}"

  ; The settings stay unless the user says otherwise (and always in a silent uninstall).
  ${If} ${FileExists} "$INSTDIR\Vorlund.ini"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(UnDeleteSettings)" /SD IDNO IDNO keep
    Delete "$INSTDIR\Vorlund.ini"
    keep:
  ${EndIf}
  RMDir "$INSTDIR"
SectionEnd
