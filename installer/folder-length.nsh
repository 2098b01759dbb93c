; The install folder's length: every path the setup program installs, the
; folder and the longest "\path" of the install directory, must stay within
; Windows' longest path, or the viewer finds neither its settings nor the
; engine. The lengths come from scripts/package (LONGEST_ENTRY, LONGEST_PATH).

; LongFolderReason: $R9 is why $INSTDIR is too long, or empty.
Function LongFolderReason
  StrLen $R9 "$INSTDIR"
  IntOp $R9 $R9 + ${LONGEST_ENTRY}
  ${If} $R9 > ${LONGEST_PATH}
    IntOp $R8 ${LONGEST_PATH} - ${LONGEST_ENTRY}
    StrCpy $R9 "The folder $INSTDIR is too long for the screen saver's files, whose paths Windows limits to ${LONGEST_PATH} characters. Choose a folder of at most $R8 characters."
  ${Else}
    StrCpy $R9 ""
  ${EndIf}
FunctionEnd

; RefuseLongFolderOnPage: the directory page's leave function; a folder too
; long keeps the page open.
Function RefuseLongFolderOnPage
  Call LongFolderReason
  ${If} $R9 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "$R9"
    Abort
  ${EndIf}
FunctionEnd
