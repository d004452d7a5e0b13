; Merkzettel-Plugin-Setup: installs the example add-on "Merkzettel" and registers it with
; Kestrelview through the Quillet plug-in and Quillet.nsh; nothing of Quillet is installed.
;
;   makensis -DQUILLET=quillet-VERSION -DMERKZETTEL_EXE=path\to\Merkzettel.exe ^
;            [-DTARGET=amd64-unicode] Merkzettel-Plugin.nsi
;
; The plug-in's bitness is the installer's (x86-unicode or amd64-unicode); ANSI installers are not
; supported. Silent: Merkzettel-Plugin-Setup.exe /S, and Uninstall.exe /S.

!ifdef TARGET
  Target ${TARGET}
!endif
Unicode true
; The registration lives below HKEY_LOCAL_MACHINE: without administrator rights it cannot be made.
RequestExecutionLevel admin
SetCompressor /SOLID lzma

; QUILLET: the unpacked release's folder.
!ifndef QUILLET
  !define QUILLET "quillet"
!endif
!addplugindir /x86-unicode "${QUILLET}\plugins\x86-unicode"
!addplugindir /amd64-unicode "${QUILLET}\plugins\amd64-unicode"
!addincludedir "${QUILLET}\include"
!include Quillet.nsh
!ifdef DETAILS_FILE
  !include "${DETAILS_NSH}"
!endif

!ifndef MERKZETTEL_EXE
  !define MERKZETTEL_EXE "Merkzettel.exe"
!endif
!ifndef OUTFILE
  !define OUTFILE "Merkzettel-Plugin-Setup.exe"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrelview-Merkzettel"

Name "Merkzettel für Kestrelview"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Kestrelview-Merkzettel"
ShowInstDetails show
ShowUninstDetails show
; Nothing to choose (/D= sets another folder); the window closes when the work is done.
AutoCloseWindow true
LoadLanguageFile "${NSISDIR}\Contrib\Language files\German.nlf"
Page instfiles
UninstPage instfiles

Section "Merkzettel"
  SetOutPath "$INSTDIR"
  File "/oname=Merkzettel.exe" "${MERKZETTEL_EXE}"
  ${QuilletAnmelden} "Merkzettel" "Sendungen für später vormerken" "Merkzettel.exe" $0
!ifdef DETAILS_FILE
  DetailPrint "Anmeldung bei Kestrelview: Status $0"
  Call DetailsDump
!endif
  ${If} $0 != 0
    Delete "$INSTDIR\Merkzettel.exe"
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    ; The installer ends with Quillet's status, so that a caller sees it.
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
  ${QuilletAbmelden} "Merkzettel" $0
!ifdef DETAILS_FILE
  DetailPrint "Abmeldung bei Kestrelview: Status $0"
  Call un.DetailsDump
!endif
  ${If} $0 != 0
    SetErrorLevel $0
    Abort "Die Deinstallation wurde abgebrochen."
  ${EndIf}

  Delete "$INSTDIR\Merkzettel.exe"
  Delete "$INSTDIR\Uninstall.exe"
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
