; Merkzettel-Plugin-Setup: installs the example add-on "Merkzettel" and registers it with
; Kestrelview through the quillet plug-in (quillet.dll) instead of quillet.exe: nothing of Quillet
; is installed, the plug-in runs from $PLUGINSDIR and reports to the details list.
;
;   makensis -DQUILLET_PLUGINS=dist\quillet-VERSION\plugins -DMERKZETTEL_EXE=path\to\Merkzettel.exe ^
;            -DOUTFILE=Merkzettel-Plugin-Setup.exe [-DTARGET=amd64-unicode] Merkzettel-Plugin.nsi
;
; The plug-in's bitness is the installer's: x86-unicode takes plugins\x86-unicode\quillet.dll,
; amd64-unicode plugins\amd64-unicode\quillet.dll. ANSI installers are not supported.
; Silent: Merkzettel-Plugin-Setup.exe /S, and Uninstall.exe /S. Under /S the plug-in shows no box
; and takes the answer that does least (an outdated host: no download page, status 3).
;
; quillet::NsisRun [/FOLDER <dir>] <command text> registers or removes as quillet.exe does with
; that command text and pushes quillet.exe's exit status: 0 done, 1 the registry refused,
; 2 the command text was refused, 3 Kestrelview is missing or outdated. A program name without a
; backslash is completed with the add-on's folder: /FOLDER, or $INSTDIR without it.

!ifdef TARGET
  Target ${TARGET}
!endif
Unicode true
; The registration lives below HKEY_LOCAL_MACHINE: without administrator rights it cannot be made.
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include LogicLib.nsh

!ifndef QUILLET_PLUGINS
  !define QUILLET_PLUGINS "plugins"
!endif
!addplugindir /x86-unicode "${QUILLET_PLUGINS}\x86-unicode"
!addplugindir /amd64-unicode "${QUILLET_PLUGINS}\amd64-unicode"
!ifndef MERKZETTEL_EXE
  !define MERKZETTEL_EXE "Merkzettel.exe"
!endif
!ifndef OUTFILE
  !define OUTFILE "Merkzettel-Plugin-Setup.exe"
!endif

!define ADDON_NAME "Merkzettel"
!define ADDON_KURZBESCHREIBUNG "Sendungen für später vormerken"
!define ADDON_PROGRAMM "Merkzettel.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrelview-Merkzettel"

Name "Merkzettel für Kestrelview"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Kestrelview-Merkzettel"
ShowInstDetails show
ShowUninstDetails show
; Nothing to choose: the folder is given with /D= if another one is wanted. The window closes
; when the work is done.
AutoCloseWindow true

LoadLanguageFile "${NSISDIR}\Contrib\Language files\German.nlf"

Page instfiles
UninstPage instfiles

!ifdef DETAILS_FILE
  ; Only in the round trip's build: writes the lines of the details list to DETAILS_FILE
  ; (UTF-16LE), so that a GUI run's lines can be compared.
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
!endif

Section "Merkzettel"
  SetOutPath "$INSTDIR"
  File "/oname=Merkzettel.exe" "${MERKZETTEL_EXE}"

  ; The add-on's folder is $INSTDIR, where Merkzettel.exe now is.
  quillet::NsisRun '"${ADDON_NAME}","${ADDON_KURZBESCHREIBUNG}","${ADDON_PROGRAMM}"'
  Pop $0
  DetailPrint "Anmeldung bei Kestrelview: Status $0"
!ifdef DETAILS_FILE
  Call DetailsDump
!endif
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONSTOP "Merkzettel konnte nicht bei Kestrelview angemeldet werden (Status $0). Die Installation wird abgebrochen." /SD IDOK
    Delete "$INSTDIR\Merkzettel.exe"
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    ; The installer ends with the plug-in's status, so that a caller sees it.
    SetErrorLevel $0
    Abort "Die Installation wurde abgebrochen."
  ${EndIf}

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Merkzettel für Kestrelview"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetAutoClose true
  ; Unregister first: a failed removal leaves the files, and it can be repeated.
  quillet::NsisRun '"${ADDON_NAME}"'
  Pop $0
  DetailPrint "Abmeldung bei Kestrelview: Status $0"
!ifdef DETAILS_FILE
  Call un.DetailsDump
!endif
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONSTOP "Merkzettel konnte nicht bei Kestrelview abgemeldet werden (Status $0). Die Dateien bleiben installiert." /SD IDOK
    SetErrorLevel $0
    Abort "Die Deinstallation wurde abgebrochen."
  ${EndIf}

  Delete "$INSTDIR\Merkzettel.exe"
  Delete "$INSTDIR\Uninstall.exe"
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
