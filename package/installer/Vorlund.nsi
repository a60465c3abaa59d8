; The Vorlund installer, one per architecture. Built by cmake/Installer.cmake (target
; "installer"), which passes:
;   VERSION      the file version, 2.0.1.0
;   ARCH         win32 or x64
;   NSIS_TARGET  x86-unicode or amd64-unicode (a 64-bit installer for the 64-bit program)
;   STAGE        the package target's directory of stripped files
;   GENERATED    where SignInTask.nsh (written from src/res/SignInTask.xml) is
;   ICON         the program's icon
;   FOLDER_CHECK FolderCheck.exe, the program's rule whether a folder's files may be touched
;   OUTFILE      the installer to write
;   SIGN_CMAKE   cmake, and SIGN_SCRIPT cmake/Sign.cmake: they sign the uninstaller the setup
;                writes and the setup itself when a certificate is given
;
; Installs Vorlund.exe, VelComn.dll and README.txt into Program Files\Vorlund (a folder
; only administrators can change, which matters for a program that runs elevated), a
; Start-menu shortcut for all users, the Settings -> Apps entry, and optionally the sign-in
; task of the installing user, "Vorlund (<user>@<domain>)" after the account of the setup's
; token ("Vorlund (<user>)" for an account without a domain part). The task is registered
; only for that default folder (never for a path with '%'); a task of any account that starts
; a Vorlund.exe anywhere else, and this copy's task under the old name "Vorlund (<user>)", is
; removed. An uninstaller removes a task (either name) only when it starts its own copy or no
; program.
; Vorlund.ini, the user's settings, is never part of what is installed: the one exception
; is the 64-bit setup replacing a 32-bit installation, whose Vorlund.ini (the settings in
; use) becomes the 64-bit folder's, an older one there kept as Vorlund.ini.bak; only where
; only administrators can change that installation's folder, else it stays as it is. The
; uninstaller asks before deleting the settings. A running Vorlund is closed politely
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
Var TaskName        ; "Vorlund (<user name>@<domain>)", or "Vorlund (<user name>)" without a domain
Var OldTaskName     ; the name before: "Vorlund (<user name>)", or "" when it is $TaskName
Var VorlundTaskUserId   ; DOMAIN\user, XML-escaped (SignInTask.nsh)
Var VorlundTaskCommand  ; the installed Vorlund.exe, XML-escaped (SignInTask.nsh)
Var DefaultDir      ; where this setup installs by default: under the system's Program Files
Var OtherArchDir    ; x64 setup: the folder of a 32-bit installation it replaces, or ""
Var OtherArchNote   ; x64 setup: the finish page's word on a 32-bit installation left as it is

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!define MUI_FINISHPAGE_TEXT "$(MUI_TEXT_FINISH_INFO_TEXT)$OtherArchNote"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(RunProgram)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartAfterFinish

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The setup and the uninstaller speak the Windows display language (NSIS matches the user's
; UI language against these): Japanese on a Japanese Windows, English on every other, English
; first as the language of a Windows that is neither.
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

; The user running the setup, as Windows names the account of its token (LookupAccountSid,
; not the environment, which the user controls): $VorlundTaskUserId is DOMAIN\user (just the
; name when the account has no domain part), and the sign-in task is $TaskName,
; "Vorlund (user@DOMAIN)" ("Vorlund (user)" without a domain), the name Vorlund itself uses:
; accounts of one name on different domains or computers never meet each other's task.
; $OldTaskName is the name earlier versions used, "Vorlund (user)", or "" when it is the same.
Function ${UN}FindTaskUser
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $1 ""
  StrCpy $2 ""
  System::Call 'kernel32::GetCurrentProcess() p .r3'
  ; TOKEN_QUERY
  System::Call 'advapi32::OpenProcessToken(p r3, i 8, *p .r3) i .r0'
  ${If} $0 != 0
    System::Alloc 256
    Pop $4
    ; TokenUser: a TOKEN_USER, whose first member is the SID
    System::Call 'advapi32::GetTokenInformation(p r3, i 1, p r4, i 256, *i .r5) i .r0'
    ${If} $0 != 0
      System::Call '*$4(p .r5)'
      System::Call 'advapi32::LookupAccountSidW(p 0, p r5, w .r1, *i ${NSIS_MAX_STRLEN}, w .r2, *i ${NSIS_MAX_STRLEN}, *i .r5) i .r0'
      ${If} $0 == 0
        StrCpy $1 ""
        StrCpy $2 ""
      ${EndIf}
    ${EndIf}
    System::Free $4
    System::Call 'kernel32::CloseHandle(p r3)'
  ${EndIf}
  ${If} $1 == ""
    System::Call 'advapi32::GetUserNameW(w .r1, *i ${NSIS_MAX_STRLEN}) i'
    StrCpy $2 ""
  ${EndIf}
  ${If} $2 == ""
    StrCpy $TaskName "Vorlund ($1)"
    StrCpy $OldTaskName ""
    StrCpy $VorlundTaskUserId $1
  ${Else}
    StrCpy $TaskName "Vorlund ($1@$2)"
    StrCpy $OldTaskName "Vorlund ($1)"
    StrCpy $VorlundTaskUserId "$2\$1"
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
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


; Undoes XmlEscape on the string on top of the stack.
Function ${UN}XmlUnescape
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $1 ""
  StrCpy $2 0
  ${Do}
    StrCpy $3 $0 1 $2
    ${IfThen} $3 == "" ${|} ${Break} ${|}
    StrCpy $4 1
    ${If} $3 == "&"
      StrCpy $5 $0 6 $2
      ${If} $5 S== "&quot;"
        StrCpy $3 '"'
        StrCpy $4 6
      ${ElseIf} $5 S== "&apos;"
        StrCpy $3 "'"
        StrCpy $4 6
      ${Else}
        StrCpy $5 $0 5 $2
        ${If} $5 S== "&amp;"
          StrCpy $4 5
        ${Else}
          StrCpy $5 $0 4 $2
          ${If} $5 S== "&lt;"
            StrCpy $3 "<"
            StrCpy $4 4
          ${ElseIf} $5 S== "&gt;"
            StrCpy $3 ">"
            StrCpy $4 4
          ${EndIf}
        ${EndIf}
      ${EndIf}
    ${EndIf}
    StrCpy $1 "$1$3"
    IntOp $2 $2 + $4
  ${Loop}
  StrCpy $0 $1
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Whether the scheduler has a task of the name on the stack (its own file of it,
; System32\Tasks\<name>, is there): 1 or 0 in $0.
Function ${UN}TaskExists
  Exch $1
  StrCpy $0 0
  !if ${ARCH} != x64
    ${DisableX64FSRedirection}
  !endif
  ${IfThen} ${FileExists} "$WINDIR\System32\Tasks\$1" ${|} StrCpy $0 1 ${|}
  !if ${ARCH} != x64
    ${EnableX64FSRedirection}
  !endif
  Pop $1
FunctionEnd

; The command of the task named on the stack, read from the scheduler's own file of it
; (System32\Tasks\<name>, XML in UTF-16): left in $0 as a plain path (XML escapes undone,
; without surrounding quotes); "" when the task starts no program (Wine keeps a task's Exec
; action without its command) or there is no such task.
Function ${UN}ReadTaskCommand
  Exch $1
  Push $2
  Push $3
  StrCpy $0 ""
  !if ${ARCH} != x64
    ${DisableX64FSRedirection}
  !endif
  ClearErrors
  FileOpen $1 "$WINDIR\System32\Tasks\$1" r
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
  Push $0
  Call ${UN}XmlUnescape
  Pop $0
  StrCpy $2 $0 1
  ${IfThen} $2 == '"' ${|} StrCpy $0 $0 "" 1 ${|}
  StrCpy $2 $0 "" -1
  ${IfThen} $2 == '"' ${|} StrCpy $0 $0 -1 ${|}
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; Removes the task named on the stack. A failed /delete means either that there is no such
; task or that the service did not answer yet (see RegisterSignInTask); the task is taken
; as gone when /query cannot find it or, since Wine's /query is a stub that always
; succeeds, when the scheduler's own file of it (System32\Tasks\<name>) is not there.
; When it stays: a message box, or exit code 3 when silent.
Function ${UN}DeleteTask
  Exch $1
  Push $0
  Push $R1
  Push $1
  Call ${UN}TaskExists
  StrCpy $R1 0
  ${DoWhile} $0 == 1
    IntOp $R1 $R1 + 1
    Push '/delete /f /tn "$1"'
    Call ${UN}Schtasks
    ${IfThen} $0 == 0 ${|} ${Break} ${|}
    Push '/query /tn "$1"'
    Call ${UN}Schtasks
    ${IfThen} $0 != 0 ${|} ${Break} ${|}
    Push $1
    Call ${UN}TaskExists
    ${IfThen} $0 == 0 ${|} ${Break} ${|}
    ${If} $R1 >= ${SCHTASKS_TRIES}
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(SignInRemoveFailed)" /SD IDOK
      SetErrorLevel 3
      ${Break}
    ${EndIf}
    Sleep 2000
  ${Loop}
  Pop $R1
  Pop $0
  Pop $1
FunctionEnd

; Removes the task named on the stack when it starts this installation's Vorlund.exe, or no
; program at all (Wine keeps tasks without their command): a task that starts another copy
; is that copy's, and one that starts another program is not Vorlund's.
Function ${UN}RemoveOwnTask
  Exch $1
  Push $0
  Push $1
  Call ${UN}ReadTaskCommand
  ${If} $0 == ""
  ${OrIf} $0 == "$INSTDIR\Vorlund.exe"
    Push $1
    Call ${UN}DeleteTask
  ${Else}
    DetailPrint "$(SignInTaskOfOtherCopy)"
  ${EndIf}
  Pop $0
  Pop $1
FunctionEnd

!macroend
!insertmacro VORLUND_SHARED_FUNCTIONS ""
!insertmacro VORLUND_SHARED_FUNCTIONS "un."

; ---------------------------------------------------------------------------------------

Function .onInit
  !if ${ARCH} == x64
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "$(Only64BitWindows)" /SD IDOK
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

; XML-escapes the string on top of the stack (& < > " ').
Function XmlEscape
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
  Call RemoveLeftoverSignInTasks

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
  Call IsSignInAllowedHere
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(SignInNeedsProtectedFolder)" /SD IDOK
    SetErrorLevel 4
  ${Else}
    Call RegisterSignInTask
  ${EndIf}
SectionEnd

Section "-Finish"
  ; Sign-in unchecked: an earlier installation's task goes.
  ${IfNot} ${SectionIsSelected} ${SecSignIn}
    Call FindTaskUser
    Push $TaskName
    Call RemoveOwnTask
  ${EndIf}
  ${If} $WasRunning == 1
    Exec '"$INSTDIR\Vorlund.exe"'
  ${EndIf}
SectionEnd

; Elsewhere the sign-in option starts unchecked (it would be refused). A silent install
; keeps it, so that its refusal shows in the exit code (4).
Function OfferSignInOnlyWhereProtected
  Call IsSignInAllowedHere
  ${If} $0 != 1
  ${AndIfNot} ${Silent}
    !insertmacro UnselectSection ${SecSignIn}
  ${EndIf}
FunctionEnd

; 1 in $0 when the sign-in task may start this copy: it is in the default folder under the
; system's Program Files, the one folder the setup knows only administrators can change. A
; path with a '%' never may (it cannot be that folder anyway): the scheduler expands
; environment variables in a task's command, and the user controls those.
Function IsSignInAllowedHere
  Push $1
  Push $2
  StrCpy $0 0
  ${IfThen} $INSTDIR == $DefaultDir ${|} StrCpy $0 1 ${|}
  StrCpy $1 0
  ${Do}
    StrCpy $2 $INSTDIR 1 $1
    ${IfThen} $2 == "" ${|} ${Break} ${|}
    ${IfThen} $2 == "%" ${|} StrCpy $0 0 ${|}
    IntOp $1 $1 + 1
  ${Loop}
  Pop $2
  Pop $1
FunctionEnd

; Before this version the sign-in task was registered for a Vorlund in any folder, and a task
; that starts Vorlund.exe elevated at every sign-in without a prompt, from a folder other
; users can change, is a door to administrator rights for whoever replaces that program. So
; every task in the scheduler's root folder goes when it starts a Vorlund.exe anywhere but
; $DefaultDir (the setup cannot judge another folder's permissions), whichever account's or
; copy's it is and whatever its name: an administrator who elevates this setup over a user's
; shoulder runs it as himself, and the user's task is as much a door. The task under the
; name earlier versions used, "Vorlund (<user name>)", goes also when it starts this
; installation's copy or no program: the task under the account's full name takes its place.
; A task that starts some other program is left alone. The sign-in section registers the task
; again for this copy when it is chosen and allowed.
Function RemoveLeftoverSignInTasks
  Push $0
  Push $1
  Push $2
  Push $3
  Call FindTaskUser
  !if ${ARCH} != x64
    ${DisableX64FSRedirection}
  !endif
  FindFirst $3 $1 "$WINDIR\System32\Tasks\*"
  !if ${ARCH} != x64
    ${EnableX64FSRedirection}
  !endif
  ; Each name is a task's file; a subfolder (and "." and "..") reads as no command and stays.
  ${DoWhile} $1 != ""
    Push $1
    Call ReadTaskCommand
    Call IsUnprotectedVorlund
    ${If} $2 == 1
      DetailPrint "$(SignInUnprotectedRemoved)"
      Push $1
      Call DeleteTask
    ${EndIf}
    FindNext $3 $1
  ${Loop}
  FindClose $3
  ${If} $OldTaskName != ""
    Push $OldTaskName
    Call ReadTaskCommand
    ${If} $0 == ""
    ${OrIf} $0 == "$INSTDIR\Vorlund.exe"
      Push $OldTaskName
      Call DeleteTask
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; 1 in $2 when the command in $0 is a Vorlund.exe (by its file name, in any case) of a folder
; other than $DefaultDir; else 0.
Function IsUnprotectedVorlund
  Push $1
  StrCpy $2 0
  StrCpy $1 $0 "" -12
  ${If} $1 == "\Vorlund.exe"
  ${OrIf} $1 == "/Vorlund.exe"
  ${OrIf} $0 == "Vorlund.exe"
    ${IfThen} $0 != "$DefaultDir\Vorlund.exe" ${|} StrCpy $2 1 ${|}
  ${EndIf}
  Pop $1
FunctionEnd

!if ${ARCH} == x64
; A 32-bit installation (closed already by CloseRunning) gives way to this one: its files
; and Apps entry go, and its Vorlund.ini, the settings the user has been using, becomes this
; folder's (CarryOverSettings). Its files are deleted only when its folder is known to be
; another folder than this one: a 32-bit installation registered for this very folder (its
; 8.3 form, a trailing backslash, a junction) holds the files just installed. And they are
; touched only where the program's own rule (IsOtherArchDirSafe) says that no one but
; administrators can change that folder or one above it and none of them is a junction:
; elsewhere another program could swap the folder for a junction between the check and the
; copy or a delete, turning them into a read of any file into this folder and deletions with
; administrator rights. Such an installation stays as it is, and the finish page says so.
; The Start-menu shortcut has the same name and now starts this copy; the sign-in task is
; registered for this copy (or removed) by what follows.
Function ReplaceOtherArchitecture
  Push $0
  Push $1
  ${If} $OtherArchDir == ""
    Pop $1
    Pop $0
    Return
  ${EndIf}
  DetailPrint "$(ReplacingOtherArch)"
  Push $OtherArchDir
  Call FolderId
  Pop $0
  Push $INSTDIR
  Call FolderId
  Pop $1
  ${If} $0 != ""
  ${AndIf} $1 != ""
  ${AndIf} $0 != $1
    Call IsOtherArchDirSafe
    ${If} $0 != 1
      DetailPrint "$(OtherArchLeft)"
      StrCpy $OtherArchNote "$\r$\n$\r$\n$(OtherArchLeft)"
      Pop $1
      Pop $0
      Return
    ${EndIf}
    ${If} ${FileExists} "$OtherArchDir\Vorlund.ini"
      Call CarryOverSettings
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
  Pop $1
  Pop $0
FunctionEnd

; 1 in $0 when the files of $OtherArchDir may be read and deleted by name: FolderCheck.exe,
; the program's rule (the one the sign-in task is held to, and no reparse point on the way),
; answers 0. Anything else, including a check that cannot run, is a no. The check runs with
; administrator rights, so it runs only from the default folder under Program Files, just
; installed and changeable by administrators alone: from the plug-ins folder in the user's
; temporary folder, or from a folder given with /D=, any program of the user could swap it
; for its own between the copy and the start. Installed elsewhere, the answer is no.
Function IsOtherArchDirSafe
  Push $1
  StrCpy $0 0
  ${If} $INSTDIR == $DefaultDir
    File "/oname=$INSTDIR\FolderCheck.exe" "${FOLDER_CHECK}"
    StrCpy $1 ""
    ClearErrors
    ExecWait '"$INSTDIR\FolderCheck.exe" "$OtherArchDir"' $1
    ${IfNot} ${Errors}
      ${IfThen} $1 == 0 ${|} StrCpy $0 1 ${|}
    ${EndIf}
    Delete "$INSTDIR\FolderCheck.exe"
  ${EndIf}
  Pop $1
FunctionEnd

; 1 in $0 when the file named on the stack could be opened for writing and flushed to the
; disk.
Function FlushFile
  Exch $1
  ; GENERIC_WRITE, no sharing, OPEN_EXISTING
  System::Call 'kernel32::CreateFileW(w r1, i 0x40000000, i 0, p 0, i 3, i 0, p 0) p .r1'
  StrCpy $0 0
  ${If} $1 P<> -1
    System::Call 'kernel32::FlushFileBuffers(p r1) i .r0'
    ${IfThen} $0 != 0 ${|} StrCpy $0 1 ${|}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  Pop $1
FunctionEnd

; The identity of the folder named on the stack, whatever its spelling: its volume's serial
; number and its file index, as "serial:high:low"; "" when it cannot be opened.
Function FolderId
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  ; FILE_READ_ATTRIBUTES, every sharing mode, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS (a folder)
  System::Call 'kernel32::CreateFileW(w r0, i 0x80, i 7, p 0, i 3, i 0x02000000, p 0) p .r1'
  StrCpy $0 ""
  ${If} $1 P<> -1
    ; BY_HANDLE_FILE_INFORMATION: attributes and three times (7 DWORDs), then the serial
    ; number, size (2), links, and the index (2)
    System::Call '*(&i52) p .r2'
    System::Call 'kernel32::GetFileInformationByHandle(p r1, p r2) i .r3'
    ${If} $3 != 0
      System::Call '*$2(i, i, i, i, i, i, i, i .r3, i, i, i, i .r4, i .r5)'
      StrCpy $0 "$3:$4:$5"
    ${EndIf}
    System::Free $2
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Makes the 32-bit Vorlund.ini this folder's; an older Vorlund.ini here becomes
; Vorlund.ini.bak. Nothing is deleted or replaced before what takes its place is whole: the
; copy is written under a name of its own and checked (same size), this folder's Vorlund.ini
; is moved to another name of its own, the copy becomes Vorlund.ini, and only then does that
; backup replace an older Vorlund.ini.bak (the user's own, or the original the program kept
; of a converted UTF-8 file). A step that fails undoes the ones before it, and the 32-bit
; Vorlund.ini is deleted only once its copy is in place; the details say what stayed where.
Function CarryOverSettings
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $4 "$INSTDIR\Vorlund.ini"
  StrCpy $2 ""
  StrCpy $3 ""
  ; GetTempFileName makes an empty file of a new name here; the copy goes over it.
  System::Call 'kernel32::GetTempFileNameW(w "$INSTDIR", w "vor", i 0, w .r1) i .r0'
  ${If} $0 == 0
    StrCpy $1 ""
  ${Else}
    System::Call 'kernel32::CopyFileW(w "$OtherArchDir\Vorlund.ini", w r1, i 0) i .r0'
    ${If} $0 != 0
      Push "$OtherArchDir\Vorlund.ini"
      Call FileSize
      Pop $0
      Push $1
      Call FileSize
      Pop $3
      ${If} $0 >= 0
      ${AndIf} $3 == $0
        StrCpy $3 ok
      ${Else}
        StrCpy $3 ""
      ${EndIf}
      ; On the disk before the 32-bit file that it copies is deleted below.
      ${If} $3 == ok
        Push $1
        Call FlushFile
        ${IfThen} $0 != 1 ${|} StrCpy $3 "" ${|}
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} $3 == ok
  ${AndIf} ${FileExists} $4
    System::Call 'kernel32::GetTempFileNameW(w "$INSTDIR", w "vor", i 0, w .r2) i .r0'
    ${If} $0 == 0
      StrCpy $2 ""
      StrCpy $3 ""
    ${Else}
      ; MOVEFILE_REPLACE_EXISTING: over the empty file of that name
      System::Call 'kernel32::MoveFileExW(w r4, w r2, i 1) i .r0'
      ${If} $0 == 0
        Delete $2
        StrCpy $2 ""
        StrCpy $3 ""
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} $3 == ok
    ; MOVEFILE_WRITE_THROUGH: the name is on the disk too before the 32-bit file goes
    System::Call 'kernel32::MoveFileExW(w r1, w r4, i 8) i .r0'
    ${If} $0 == 0
      StrCpy $3 ""
      ${If} $2 != ""
        System::Call 'kernel32::MoveFileExW(w r2, w r4, i 0) i .r0'
        ${IfThen} $0 != 0 ${|} StrCpy $2 "" ${|}
      ${EndIf}
    ${Else}
      StrCpy $1 ""
    ${EndIf}
  ${EndIf}
  ${If} $3 == ok
    Delete "$OtherArchDir\Vorlund.ini"
    ${If} $2 != ""
      System::Call 'kernel32::MoveFileExW(w r2, w "$4.bak", i 1) i .r0'
      ${IfThen} $0 == 0 ${|} DetailPrint "$(OlderSettingsKeptAs)" ${|}
    ${EndIf}
  ${Else}
    ; This folder's own settings stay in effect.
    ${IfThen} $1 != "" ${|} Delete $1 ${|}
    ${IfThen} $2 != "" ${|} DetailPrint "$(OlderSettingsKeptAs)" ${|}
    DetailPrint "$(SettingsNotCarried)"
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; The size in bytes of the file named on the stack, or -1 when it cannot be opened.
Function FileSize
  Exch $0
  Push $1
  Push $2
  StrCpy $2 -1
  FileOpen $1 $0 r
  ${If} $1 != ""
    FileSeek $1 0 END $2
    FileClose $1
  ${EndIf}
  StrCpy $0 $2
  Pop $2
  Pop $1
  Exch $0
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
  Call un.FindTaskUser
  Push $TaskName
  Call un.RemoveOwnTask
  ${If} $OldTaskName != ""
    Push $OldTaskName
    Call un.RemoveOwnTask
  ${EndIf}

  Delete "$INSTDIR\Vorlund.exe"
  Delete "$INSTDIR\VelComn.dll"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\FolderCheck.exe"
  Delete "$INSTDIR\Uninstall.exe"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Vorlund.lnk"
  DeleteRegKey HKLM "${UNINST_KEY}"

  ; The settings stay unless the user says otherwise (and always in a silent uninstall).
  ${If} ${FileExists} "$INSTDIR\Vorlund.ini"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(UnDeleteSettings)" /SD IDNO IDNO keep
    Delete "$INSTDIR\Vorlund.ini"
    Delete "$INSTDIR\Vorlund.ini.bak"
    keep:
  ${EndIf}
  RMDir "$INSTDIR"
SectionEnd
