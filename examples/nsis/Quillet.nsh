; Quillet.nsh: registers an add-on with Kestrelview from an NSIS (Unicode) installer, and removes
; it again, through the Quillet plug-in (quillet.dll). Nothing of Quillet is installed: the
; plug-in runs from $PLUGINSDIR.
;
;   !addplugindir /x86-unicode "quillet-VERSION\plugins\x86-unicode"
;   !addplugindir /amd64-unicode "quillet-VERSION\plugins\amd64-unicode"
;   !addincludedir "quillet-VERSION\include"
;   !include Quillet.nsh
;
;   ${QuilletAnmelden} "Merkzettel" "Sendungen vormerken" "Merkzettel.exe" $0   ; in a Section
;   ${QuilletAbmelden} "Merkzettel" $0                                          ; in Section "Uninstall"
;
; The last argument is the variable that receives Quillet's status: 0 done, 1 the registry
; refused (run elevated: RequestExecutionLevel admin), 2 the name or the command was refused,
; 3 Kestrelview is missing or older than 4.3. No other of $0-$9 and $R0-$R9 changes. On any
; status but 0 the German text for it goes into the details and into a message box; under /S
; there is no box (nor does the plug-in show any), and what to do next (abort, clean up) is the
; script's. A program file without a backslash is completed with $INSTDIR, the add-on's folder.
; The name may hold only a-z, 0-9, _, -, ä, ö, ü and ß (upper case too); no text may hold a
; double quote.

!ifndef QUILLET_NSH_INCLUDED
!define QUILLET_NSH_INCLUDED

!include LogicLib.nsh

!define QuilletAnmelden "!insertmacro QuilletAnmelden"
!define QuilletAbmelden "!insertmacro QuilletAbmelden"

!macro QuilletAnmelden NAME KURZBESCHREIBUNG PROGRAMM STATUS
  quillet::NsisRun `"${NAME}","${KURZBESCHREIBUNG}","${PROGRAMM}"`
  !insertmacro _QuilletMeldung "${NAME}" "angemeldet"
  Pop ${STATUS}
!macroend

!macro QuilletAbmelden NAME STATUS
  quillet::NsisRun `"${NAME}"`
  !insertmacro _QuilletMeldung "${NAME}" "abgemeldet"
  Pop ${STATUS}
!macroend

; The status the plug-in pushed stays on the stack for the caller's Pop: $R0 and $R1 lend
; themselves only in between, so the caller may name either as its status variable.
!macro _QuilletMeldung NAME GETAN
  Exch $R0
  ${If} $R0 != 0
    Push $R1
    ${If} $R0 == 1
      StrCpy $R1 "Die Einträge in der Registrierung konnten nicht geschrieben oder gelöscht werden (Status 1). Bitte starten Sie das Programm mit Administratorrechten erneut."
    ${ElseIf} $R0 == 2
      StrCpy $R1 "Quillet hat den Aufruf abgelehnt (Status 2): Die Befehlszeile oder der Name des Zusatzprogramms ist ungültig. Bitte wenden Sie sich an den Hersteller von ${NAME}."
    ${ElseIf} $R0 == 3
      StrCpy $R1 "Kestrelview ist nicht in Version 4.3 oder höher installiert (Status 3). Bitte installieren Sie zuerst den aktuellen Kestrelview und starten Sie ihn einmal."
    ${Else}
      StrCpy $R1 "Quillet endete mit dem unbekannten Status $R0."
    ${EndIf}
    DetailPrint "$R1"
    MessageBox MB_OK|MB_ICONSTOP "${NAME} konnte nicht bei Kestrelview ${GETAN} werden.$\r$\n$\r$\n$R1" /SD IDOK
    Pop $R1
  ${EndIf}
  Exch $R0
!macroend

!endif
