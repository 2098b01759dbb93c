; What the setup program keeps in the install directory so that an upgrade
; and the uninstaller take back exactly what any version installed, and
; treat "screensaver.cfg" as the user's file once installed:
;   installed-files.txt      the files and folders this install put there
;                            (UTF-16LE, one a line, folders with a trailing
;                            backslash, deepest first), read back by the next
;                            upgrade and by the uninstaller
;   screensaver.cfg.shipped  the settings file as shipped, against which an
;                            upgrade tells whether the user changed it
;
; Defines of the PROJECT_FILES include (scripts/package writes both):
;   PROJECT_FILE_LIST  the list to install as installed-files.txt
;   SHIPPED_SETTINGS   the shipped "screensaver.cfg", when there is one

!define FILE_LIST "installed-files.txt"
!define SETTINGS_FILE "screensaver.cfg"
!define SHIPPED_SETTINGS_COPY "screensaver.cfg.shipped"
; The built-in Users group, by its SID: a name would be translated.
!define USERS_SID "*S-1-5-32-545"

; RemoveListedFiles: removes what installed-files.txt lists, then the list;
; a folder that still holds files of someone else's stays. Defined once for
; the setup program and once for the uninstaller (un.).
!macro RemoveListedFilesFunction prefix
Function ${prefix}RemoveListedFiles
  ClearErrors
  FileOpen $R3 "$INSTDIR\${FILE_LIST}" r
  IfErrors done
  next:
    ClearErrors
    FileReadUTF16LE $R3 $R4
    IfErrors close
    ; Without its line end; a line that is only a line end is skipped.
    StrCpy $R5 $R4 1 -1
    StrCmp $R5 "$\n" 0 +2
      StrCpy $R4 $R4 -1
    StrCpy $R5 $R4 1 -1
    StrCmp $R5 "$\r" 0 +2
      StrCpy $R4 $R4 -1
    StrCmp $R4 "" next
    StrCpy $R5 $R4 1 -1
    StrCmp $R5 "\" 0 +3
      RMDir /REBOOTOK "$INSTDIR\$R4"
      Goto next
    Delete /REBOOTOK "$INSTDIR\$R4"
    Goto next
  close:
    FileClose $R3
    Delete "$INSTDIR\${FILE_LIST}"
  done:
FunctionEnd
!macroend
!insertmacro RemoveListedFilesFunction ""
!insertmacro RemoveListedFilesFunction "un."

!ifdef SHIPPED_SETTINGS
; SettingsUnchanged: $R5 is "yes" when "screensaver.cfg" holds, byte for
; byte, what the last install shipped; "no" when the user changed it, or
; when no shipped copy was kept (an install that shipped none).
Function SettingsUnchanged
  StrCpy $R5 "no"
  ClearErrors
  FileOpen $R3 "$INSTDIR\${SETTINGS_FILE}" r
  FileOpen $R4 "$INSTDIR\${SHIPPED_SETTINGS_COPY}" r
  IfErrors close
  next:
    ClearErrors
    FileReadByte $R3 $R6
    IfErrors ended
    FileReadByte $R4 $R7
    IfErrors close
    StrCmp $R6 $R7 next close
  ended:
    ClearErrors
    FileReadByte $R4 $R7
    IfErrors 0 close
    StrCpy $R5 "yes"
  close:
    FileClose $R3
    FileClose $R4
FunctionEnd
!endif

; InstallSettingsFile: the shipped "screensaver.cfg" where there is none or
; where the user left the last shipped one unchanged; a file the user
; changed (or the dialog wrote) is kept. Then Users may modify that one file
; and nothing else, so that a standard user's dialog can save the settings.
Function InstallSettingsFile
!ifdef SHIPPED_SETTINGS
  StrCpy $R5 "yes"
  ${If} ${FileExists} "$INSTDIR\${SETTINGS_FILE}"
    Call SettingsUnchanged
  ${EndIf}
  ${If} $R5 == "yes"
    File "/oname=$INSTDIR\${SETTINGS_FILE}" "${SHIPPED_SETTINGS}"
  ${Else}
    DetailPrint "Kept the settings changed since the last install: $INSTDIR\${SETTINGS_FILE}"
  ${EndIf}
  File "/oname=$INSTDIR\${SHIPPED_SETTINGS_COPY}" "${SHIPPED_SETTINGS}"
!else
  Delete "$INSTDIR\${SHIPPED_SETTINGS_COPY}"
!endif
  ${If} ${FileExists} "$INSTDIR\${SETTINGS_FILE}"
    nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$INSTDIR\${SETTINGS_FILE}" /grant ${USERS_SID}:(M)'
    Pop $R5
    ${If} $R5 != 0
      DetailPrint "Users without administrator rights cannot save the settings: icacls ended with $R5."
    ${EndIf}
  ${EndIf}
FunctionEnd

; RemoveSettingsFile: "screensaver.cfg" and its shipped copy, whoever wrote
; the file.
Function un.RemoveSettingsFile
  Delete /REBOOTOK "$INSTDIR\${SETTINGS_FILE}"
  Delete "$INSTDIR\${SHIPPED_SETTINGS_COPY}"
FunctionEnd

!ifdef NAME_BYTES
; NameAsThisWindowsReadsIt: $R5 is the packed name's bytes as this Windows
; reads them in its ANSI code page, as the viewer's registry calls do; empty
; where a byte is not a character there.
Function NameAsThisWindowsReadsIt
  System::Call '*(${NAME_BYTES})p.R6'
  ; CP_ACP 0, MB_ERR_INVALID_CHARS 8, the bytes ending with their zero.
  System::Call 'kernel32::MultiByteToWideChar(i 0, i 8, p R6, i -1, w .R5, i ${NSIS_MAX_STRLEN}) i .R7'
  System::Free $R6
  ${If} $R7 == 0
    StrCpy $R5 ""
  ${EndIf}
FunctionEnd
!endif

; SessionUser: $R5 is the user signed in to this desktop and $R6 the account
; the setup program runs as; they differ where it was elevated with another
; account's password, whose own settings "Set as screen saver" would change.
Function SessionUser
  System::Call 'advapi32::GetUserNameW(w .R6, *i ${NSIS_MAX_STRLEN}) i'
  StrCpy $R5 $R6
  ; WTS_CURRENT_SERVER_HANDLE 0, WTS_CURRENT_SESSION -1, WTSUserName 5.
  System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 5, *p .R7, *i .R8) i .R9'
  ${If} $R9 <> 0
    System::Call 'kernel32::lstrcpynW(w .R5, p R7, i ${NSIS_MAX_STRLEN}) p'
    System::Call 'wtsapi32::WTSFreeMemory(p R7)'
  ${EndIf}
FunctionEnd
