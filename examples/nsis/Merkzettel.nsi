; Merkzettel-Setup: installs the example add-on "Merkzettel" and registers it with Kestrelview
; through quillet.exe; its uninstaller unregisters it before it removes the files.
;
;   makensis -DQUILLET_EXE=dist\quillet-VERSION\quillet.exe -DMERKZETTEL_EXE=path\to\Merkzettel.exe ^
;            -DOUTFILE=Merkzettel-Setup.exe [-DTARGET=amd64-unicode] Merkzettel.nsi
;
; Without the defines, quillet.exe and Merkzettel.exe are taken from beside this script.
; Silent: Merkzettel-Setup.exe /S, and Uninstall.exe /S (add _?=<install folder> to make the
; caller wait for the uninstaller; see docs/addon-makers.md).

; -DTARGET=amd64-unicode builds the 64-bit installer (with the 64-bit quillet.exe beside it).
!ifdef TARGET
  Target ${TARGET}
!endif
Unicode true
; quillet.exe writes below HKEY_LOCAL_MACHINE: without administrator rights it cannot.
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include LogicLib.nsh

!ifndef QUILLET_EXE
  !define QUILLET_EXE "quillet.exe"
!endif
!ifndef MERKZETTEL_EXE
  !define MERKZETTEL_EXE "Merkzettel.exe"
!endif
!ifndef OUTFILE
  !define OUTFILE "Merkzettel-Setup.exe"
!endif

; The add-on's registration. The name becomes a registry key and an entry of the host's add-on
; list, so it may only hold a-z, 0-9, _, -, ä, ö, ü and ß (upper case is fine), no blank.
!define ADDON_NAME "Merkzettel"
!define ADDON_KURZBESCHREIBUNG "Sendungen für später vormerken"
; No backslash: quillet.exe completes the name with its own folder, which is $INSTDIR here.
!define ADDON_PROGRAMM "Merkzettel.exe"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrelview-Merkzettel"

Name "Merkzettel für Kestrelview"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Kestrelview-Merkzettel"
ShowInstDetails show
ShowUninstDetails show

LoadLanguageFile "${NSISDIR}\Contrib\Language files\German.nlf"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; $R0: exit status of quillet.exe -> $R1: what the user is told about it.
!macro QuilletFehlertext
  ${If} $R0 == 1
    StrCpy $R1 "Die Einträge in der Registrierung konnten nicht geschrieben oder gelöscht werden (Status 1). Bitte starten Sie das Programm mit Administratorrechten erneut."
  ${ElseIf} $R0 == 2
    StrCpy $R1 "quillet.exe hat den Aufruf abgelehnt (Status 2): Die Befehlszeile oder der Name des Zusatzprogramms ist ungültig. Bitte wenden Sie sich an den Hersteller von Merkzettel."
  ${ElseIf} $R0 == 3
    StrCpy $R1 "Kestrelview ist nicht in Version 4.3 oder höher installiert (Status 3). Bitte installieren Sie zuerst den aktuellen Kestrelview und starten Sie ihn einmal."
  ${Else}
    StrCpy $R1 "quillet.exe endete mit dem unbekannten Status $R0."
  ${EndIf}
!macroend

Section "Merkzettel"
  SetOutPath "$INSTDIR"
  File "/oname=Merkzettel.exe" "${MERKZETTEL_EXE}"
  File "/oname=quillet.exe" "${QUILLET_EXE}"

  DetailPrint "Merkzettel wird bei Kestrelview angemeldet ..."
  ClearErrors
  ExecWait '"$INSTDIR\quillet.exe" -s "${ADDON_NAME}","${ADDON_KURZBESCHREIBUNG}","${ADDON_PROGRAMM}"' $R0
  ${If} ${Errors}
    StrCpy $R1 "quillet.exe konnte nicht gestartet werden."
  ${ElseIf} $R0 != 0
    !insertmacro QuilletFehlertext
    ; A failed write may have left part of the entry behind: take it back (best effort).
    ${If} $R0 == 1
      ExecWait '"$INSTDIR\quillet.exe" -s "${ADDON_NAME}"'
    ${EndIf}
  ${Else}
    StrCpy $R1 ""
  ${EndIf}

  ${If} $R1 != ""
    DetailPrint "$R1"
    MessageBox MB_OK|MB_ICONSTOP "Merkzettel konnte nicht bei Kestrelview angemeldet werden.$\r$\n$\r$\n$R1$\r$\n$\r$\nDie Installation wird abgebrochen." /SD IDOK
    Delete "$INSTDIR\Merkzettel.exe"
    Delete "$INSTDIR\quillet.exe"
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
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
  ; Unregister first: while quillet.exe is still there, a failed removal can be repeated.
  DetailPrint "Merkzettel wird bei Kestrelview abgemeldet ..."
  ClearErrors
  ExecWait '"$INSTDIR\quillet.exe" -s "${ADDON_NAME}"' $R0
  ${If} ${Errors}
    StrCpy $R1 "quillet.exe konnte nicht gestartet werden."
  ${ElseIf} $R0 != 0
    !insertmacro QuilletFehlertext
  ${Else}
    StrCpy $R1 ""
  ${EndIf}

  ${If} $R1 != ""
    DetailPrint "$R1"
    MessageBox MB_OK|MB_ICONSTOP "Merkzettel konnte nicht bei Kestrelview abgemeldet werden.$\r$\n$\r$\n$R1$\r$\n$\r$\nDie Dateien bleiben installiert." /SD IDOK
    Abort "Die Deinstallation wurde abgebrochen."
  ${EndIf}

  Delete "$INSTDIR\Merkzettel.exe"
  Delete "$INSTDIR\quillet.exe"
  Delete "$INSTDIR\Uninstall.exe"
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
