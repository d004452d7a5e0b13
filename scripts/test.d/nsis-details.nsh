; Only in the NSIS round trip's builds of examples/nsis/Merkzettel-Plugin.nsi (-DDETAILS_FILE=<a
; Windows path> -DDETAILS_NSH=<this file>): DetailsDump and un.DetailsDump append the lines of the
; details list to DETAILS_FILE (UTF-16LE), so that a run with a window can be compared.
!define LVM_GETITEMCOUNT 0x1004
!define LVM_GETITEMTEXTW 0x1073
!macro DetailsDump UN
  Function ${UN}DetailsDump
    Push $0
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    Push $6
    FindWindow $0 "#32770" "" $HWNDPARENT
    GetDlgItem $0 $0 1016
    ${If} $0 != 0
      FileOpen $5 "${DETAILS_FILE}" a
      FileSeek $5 0 END
      SendMessage $0 ${LVM_GETITEMCOUNT} 0 0 $6
      System::Call "*(&w${NSIS_MAX_STRLEN})p.r3"
      ; LVITEMW: mask, iItem, iSubItem, state, stateMask, (padding on 64-bit), pszText,
      ; cchTextMax, ...
      !if ${NSIS_PTR_SIZE} > 4
        System::Call "*(i, i, i, i, i, i, p, i, i, p, i, i, i, i, p, p, i, i)p(0, 0, 0, 0, 0, 0, r3, ${NSIS_MAX_STRLEN}).r1"
      !else
        System::Call "*(i, i, i, i, i, p, i, i, p, i, i, i, p, p, i, i)p(0, 0, 0, 0, 0, r3, ${NSIS_MAX_STRLEN}).r1"
      !endif
      StrCpy $2 0
      ${While} $2 < $6
        System::Call "user32::SendMessageW(p $0, i ${LVM_GETITEMTEXTW}, p $2, p r1)"
        System::Call "*$3(&w${NSIS_MAX_STRLEN} .r4)"
        FileWriteUTF16LE $5 "$4$\r$\n"
        IntOp $2 $2 + 1
      ${EndWhile}
      FileClose $5
      System::Free $1
      System::Free $3
    ${EndIf}
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
  FunctionEnd
!macroend
!insertmacro DetailsDump ""
!insertmacro DetailsDump "un."
