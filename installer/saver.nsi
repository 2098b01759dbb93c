; The setup program of one screen saver: the packed viewer in the Windows
; directory under the project's name, optionally the project's install
; directory and the registry entry the viewer finds it by, an entry under
; Add or Remove Programs and an uninstaller that takes back exactly that.
;
; Inputs, as defines (makensis -DNAME=value saver.nsi):
;   PROJECT_NAME   the project name packed into the viewer (required), UTF-8
;   NAME_CODEPAGE  the Windows code page the name was packed in, and
;   NAME_BYTES     the packed name's bytes as System plug-in struct members
;                  ("&i1 65, ..., &i1 0"); both required for a name beyond
;                  ASCII, which the viewer reads in the machine's ANSI code
;                  page: the setup program refuses one where those bytes read
;                  as another name
;   SAVER          the packed viewer file (required)
;   VERSION        the product version, three numbers: 3.0.0 (required)
;   OUTFILE        the setup program to write (required)
;   PROJECT_FILES  an .nsh file defining the macro InstallProjectFiles, which
;                  installs the project's install directory into $INSTDIR but
;                  "screensaver.cfg", and the defines of InstalledFiles.nsh
;                  (scripts/package writes it); without it only the saver is
;                  installed and no registry entry is written
;   LONGEST_ENTRY, LONGEST_PATH  with PROJECT_FILES (required then): the
;                  length of the longest "\path" of the install directory, and
;                  Windows' longest path; a folder too long for both is refused
;   SIGN_COMMAND   a command that signs the file %1 in place (optional); it
;                  signs the uninstaller and the finished setup program
;   PUBLISHER      the publisher shown and registered (optional; Velcor)
;   NAME_RESOURCE, PUBLISHER_RESOURCE  the name and the publisher as the
;                  version resource takes them, '$' not doubled (optional;
;                  PROJECT_NAME and PUBLISHER); SAVER is taken so too
;   ICON           an .ico file for the setup program, the uninstaller and
;                  Add or Remove Programs (optional)
;   DESCRIPTION    the saver component's description (optional)
;   UPGRADE_CODE   the upgrade code of the saver's Windows Installer package
;                  ({...}); where that package is installed, the setup
;                  program refuses (optional)
;
; Command line of the setup program: /S installs silently; /ACTIVATE then
; also makes it the current screen saver (an interactive install offers it).
; Exit codes: 0 installed, 1 cancelled, 2 refused (no administrator rights,
; an ANSI code page that reads the name as another one, a folder too long
; for the install directory's paths, a destination that cannot be written,
; or the saver's Windows Installer package installed), nothing written in
; either case.

Unicode true
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!macro RequireDefine name
  !ifndef ${name}
    !error "define ${name}: makensis -D${name}=... (see the top of saver.nsi)"
  !endif
!macroend
!insertmacro RequireDefine PROJECT_NAME
!insertmacro RequireDefine SAVER
!insertmacro RequireDefine VERSION
!insertmacro RequireDefine OUTFILE

!ifndef PUBLISHER
  !define PUBLISHER "Velcor"
!endif
; The version resource's texts are taken as they stand: "$$" stays doubled.
!ifndef NAME_RESOURCE
  !define NAME_RESOURCE "${PROJECT_NAME}"
!endif
!ifndef PUBLISHER_RESOURCE
  !define PUBLISHER_RESOURCE "${PUBLISHER}"
!endif
!ifndef DESCRIPTION
  !define DESCRIPTION "The screen saver $\"${PROJECT_NAME}$\" ${VERSION}, listed among the screen savers under its name."
!endif
!define SAVER_FILE "$WINDIR\${PROJECT_NAME}.scr"
!define VIEWERS_KEY "SOFTWARE\Velcor\Ormelix Viewers\3.00.000"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ormelix Saver ${PROJECT_NAME}"
!define DESKTOP_KEY "Control Panel\Desktop"
!define PROGRAM_FOLDER "$PROGRAMFILES\Ormelix Savers"

Name "${PROJECT_NAME}"
OutFile "${OUTFILE}"
!ifdef SIGN_COMMAND
  !uninstfinalize '${SIGN_COMMAND}' = 0
  !finalize '${SIGN_COMMAND}' = 0
!endif
InstallDir "${PROGRAM_FOLDER}\${PROJECT_NAME}"
; A second install goes where the first one went: an upgrade in place.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; A file that cannot be written stops the install instead of being skipped.
AllowSkipFiles off
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PROJECT_NAME} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey ProductName "${NAME_RESOURCE}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "${NAME_RESOURCE} screen saver setup"
VIAddVersionKey CompanyName "${PUBLISHER_RESOURCE}"
VIAddVersionKey LegalCopyright "Copyright (C) ${PUBLISHER_RESOURCE}"

!define MUI_ABORTWARNING
!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_WELCOMEPAGE_TEXT "This installs the screen saver $\"${PROJECT_NAME}$\" ${VERSION}.$\r$\n$\r$\nIt appears in the list of screen savers under its own name, and Add or Remove Programs takes it away again."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!ifdef PROJECT_FILES
  !insertmacro RequireDefine LONGEST_ENTRY
  !insertmacro RequireDefine LONGEST_PATH
  !include "${__FILEDIR__}\folder-length.nsh"
  !define MUI_PAGE_CUSTOMFUNCTION_LEAVE RefuseLongFolderOnPage
!endif
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

!ifdef PROJECT_FILES
  !include "${PROJECT_FILES}"
!endif
!include "InstalledFiles.nsh"

; Refuse: say why (also in a silent install, where the box is skipped) and
; end with exit code 2 before anything is written.
!macro Refuse text
  DetailPrint "${text}"
  MessageBox MB_OK|MB_ICONSTOP "${text}" /SD IDOK
  SetErrorLevel 2
  Quit
!macroend

; CheckWritable: refuses unless the install directory and the saver's file
; can be written, undoing its probes of a fresh install. Opening for
; appending leaves an old file intact and fails on a saver that is running.
Function CheckWritable
  StrCpy $R1 ""
  ${IfNot} ${FileExists} "$INSTDIR\uninstall.exe"
    StrCpy $R1 "fresh"
  ${EndIf}
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $0 "$INSTDIR\uninstall.exe" a
  ${If} ${Errors}
    !insertmacro Refuse "Cannot write to $INSTDIR. Nothing was installed."
  ${EndIf}
  FileClose $0
  ClearErrors
  FileOpen $0 "${SAVER_FILE}" a
  ${If} ${Errors}
    ${If} $R1 == "fresh"
      Delete "$INSTDIR\uninstall.exe"
      RMDir "$INSTDIR"
      RMDir "${PROGRAM_FOLDER}"
    ${EndIf}
    !insertmacro Refuse "Cannot write ${SAVER_FILE}: the Windows directory is not writable or the saver is running. Nothing was installed."
  ${EndIf}
  FileClose $0
FunctionEnd

Section "${PROJECT_NAME}" SecSaver
  SectionIn RO
  SetRegView 32
  ; A fresh install probes with empty files, which the writes below replace.
  Call CheckWritable
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  File "/oname=${SAVER_FILE}" "${SAVER}"
  ; What the version before installed goes first, so that nothing it had
  ; and this one lacks stays behind.
  Call RemoveListedFiles
!ifdef PROJECT_FILES
  !insertmacro InstallProjectFiles
  File "/oname=$INSTDIR\${FILE_LIST}" "${PROJECT_FILE_LIST}"
  WriteRegStr HKLM "${VIEWERS_KEY}\${PROJECT_NAME}" "DisplayName" "$INSTDIR"
!endif
  Call InstallSettingsFile

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PROJECT_NAME} (screen saver)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
!ifdef ICON
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe"
!endif
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  FileOpen $3 "${SAVER_FILE}" r
  FileSeek $3 0 END $4
  FileClose $3
  IntOp $4 $4 / 1024
  IntOp $0 $0 + $4
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The value Windows starts the saver from: the short form of the path where
; the volume has one, so the unquoted command line "<value> /s" holds no blank.
Function SaverCommand
  GetFullPathName /SHORT $R0 "${SAVER_FILE}"
  ${If} $R0 == ""
    StrCpy $R0 "${SAVER_FILE}"
  ${EndIf}
FunctionEnd

; KeepDesktopValue NAME: keeps the desktop value NAME as PreviousNAME in the
; uninstall entry, for RestoreDesktopValue (absent stays absent).
!macro KeepDesktopValue name
  DeleteRegValue HKLM "${UNINSTALL_KEY}" "Previous${name}"
  ClearErrors
  ReadRegStr $2 HKCU "${DESKTOP_KEY}" "${name}"
  ${IfNot} ${Errors}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Previous${name}" $2
  ${EndIf}
!macroend

Section /o "Set as screen saver" SecActivate
  SetRegView 32
  Call SessionUser
  ${If} $R5 != $R6
    StrCpy $0 "Not made the current screen saver: this setup program runs as $R6, not as $R5, who is signed in. $R5 can choose $\"${PROJECT_NAME}$\" in the screen saver settings."
    DetailPrint $0
    MessageBox MB_OK|MB_ICONINFORMATION $0 /SD IDOK
    Return
  ${EndIf}
  Call SaverCommand
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "ActivatedScreenSaver"
  ; Keep what the user had, unless that is already this saver (a second
  ; install), so that the uninstaller can give it back.
  StrCpy $3 "keep"
  ${If} $0 == $R0
  ${OrIf} $0 == "${SAVER_FILE}"
    StrCpy $3 ""
  ${ElseIf} $1 != ""
  ${AndIf} $0 == $1
    StrCpy $3 ""
  ${EndIf}
  ${If} $3 == "keep"
    !insertmacro KeepDesktopValue "SCRNSAVE.EXE"
    !insertmacro KeepDesktopValue "ScreenSaveActive"
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "ActivatedScreenSaver" $R0
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $R0
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  DetailPrint "The current screen saver is now ${PROJECT_NAME}."
SectionEnd

Function .onInit
  SetRegView 32
!ifdef NAME_CODEPAGE
  Call NameAsThisWindowsReadsIt
  System::Call 'kernel32::GetACP() i .r0'
  ${If} $R5 S!= "${PROJECT_NAME}"
    !insertmacro Refuse "The screen saver $\"${PROJECT_NAME}$\" is made for Windows with the code page ${NAME_CODEPAGE}; this Windows uses the code page $0, in which the saver cannot find its settings. Nothing was installed."
  ${EndIf}
!endif
!ifdef UPGRADE_CODE
  ; The package keeps its own record of the same files and values.
  System::Call 'msi::MsiEnumRelatedProductsW(w "${UPGRADE_CODE}", i 0, i 0, w .r1) i .r0'
  ${If} $0 == 0
    !insertmacro Refuse "The screen saver $\"${PROJECT_NAME}$\" was installed by its Windows Installer package. Remove that first (msiexec /x $1). Nothing was installed."
  ${EndIf}
!endif
!ifdef PROJECT_FILES
  ; Interactive installs check the folder on the directory page.
  ${If} ${Silent}
    Call LongFolderReason
    ${If} $R9 != ""
      !insertmacro Refuse "$R9 Nothing was installed."
    ${EndIf}
  ${EndIf}
!endif
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    !insertmacro Refuse "Installing the screen saver $\"${PROJECT_NAME}$\" needs administrator rights."
  ${EndIf}
  ; Interactive installs offer to activate the saver (ticked); silent ones
  ; do it only when asked.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ACTIVATE" $1
  ${If} ${Errors}
  ${AndIf} ${Silent}
    Return
  ${EndIf}
  SectionSetFlags ${SecActivate} ${SF_SELECTED}
FunctionEnd

LangString DESC_SecActivate ${LANG_ENGLISH} "Start this saver when the computer is idle; uninstalling gives back the current one."
LangString DESC_SecSaver ${LANG_ENGLISH} "${DESCRIPTION}"
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSaver} $(DESC_SecSaver)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecActivate} $(DESC_SecActivate)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; RestoreDesktopValue NAME: puts the desktop value NAME back as the install
; found it.
!macro RestoreDesktopValue name
  ClearErrors
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "Previous${name}"
  ${If} ${Errors}
    DeleteRegValue HKCU "${DESKTOP_KEY}" "${name}"
  ${Else}
    WriteRegStr HKCU "${DESKTOP_KEY}" "${name}" $2
  ${EndIf}
!macroend

Section "Uninstall"
  SetRegView 32
  ; Give back the previous saver only while this one is still the current
  ; one (as activated here, or chosen by its long or short path since): a
  ; saver chosen since is the user's choice. Never activated here, it is
  ; only unset, so that it names no removed file.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "ActivatedScreenSaver"
  GetFullPathName /SHORT $2 "${SAVER_FILE}"
  ${If} $0 != ""
    ${If} $0 == $1
    ${OrIf} $0 == "${SAVER_FILE}"
    ${OrIf} $0 == $2
      ${If} $1 != ""
        !insertmacro RestoreDesktopValue "SCRNSAVE.EXE"
        !insertmacro RestoreDesktopValue "ScreenSaveActive"
      ${Else}
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
      ${EndIf}
    ${EndIf}
  ${EndIf}

  ; Files already gone are no reason to stop; files in use (a running
  ; saver) go at the next restart.
  Delete /REBOOTOK "${SAVER_FILE}"
  Call un.RemoveListedFiles
  Call un.RemoveSettingsFile
!ifdef PROJECT_FILES
  DeleteRegKey HKLM "${VIEWERS_KEY}\${PROJECT_NAME}"
  DeleteRegKey /ifempty HKLM "${VIEWERS_KEY}"
  DeleteRegKey /ifempty HKLM "SOFTWARE\Velcor\Ormelix Viewers"
  DeleteRegKey /ifempty HKLM "SOFTWARE\Velcor"
!endif
  Delete "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  RMDir "${PROGRAM_FOLDER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
