; Quillet.iss: registers an add-on with Kestrelview from an Inno Setup 6 script, and removes it
; again in the uninstaller. UNTESTED: Inno Setup has no Debian package and its compiler runs
; only on Windows, so no test of ours builds or runs this file; it follows Inno Setup's
; documentation. Tell us what you find.
;
;   #define QuilletAddOnName "Merkzettel"
;   #define QuilletKurzbeschreibung "Sendungen für später vormerken"
;   #define QuilletProgramm "Merkzettel.exe"
;   #define QuilletDll "quillet-VERSION\plugins\x86-unicode\quillet.dll"   ; the C entry, or
;   ; #define QuilletExe "quillet-VERSION\quillet.exe"                      ; quillet.exe instead
;   #include "quillet-VERSION\include\Quillet.iss"
;
;   [Setup]
;   PrivilegesRequired=admin
;   [Files]
;   Source: "Merkzettel.exe"; DestDir: "{app}"; AfterInstall: QuilletAnmelden
;
; QuilletAnmelden registers once the add-on's program file is in {app}; a status other than 0
; raises an exception with the German reason, and Setup stops. The uninstaller removes the
; registration before it deletes the files; when that fails it says why and stops, and the files
; stay. A program file without a backslash is completed with {app}. The DLL's bitness is the
; setup's: the 64-bit one (plugins\amd64-unicode) with ArchitecturesInstallIn64BitMode. An '
; in the texts is doubled for Pascal here; a " cannot be passed at all (Quillet's fields have no
; escape for it).

#ifndef QuilletAddOnName
  #error Define QuilletAddOnName, QuilletKurzbeschreibung, QuilletProgramm and QuilletDll (or QuilletExe) before including Quillet.iss
#endif
#define QuilletText(str S) StringChange(S, "'", "''")

[Files]
#ifdef QuilletExe
Source: "{#QuilletExe}"; DestDir: "{app}"; DestName: "quillet.exe"; Flags: ignoreversion
#else
; Setup calls the copy it extracts into {tmp}; the uninstaller the one in {app}, which it holds
; loaded and so deletes itself at the end (uninsneveruninstall).
Source: "{#QuilletDll}"; DestName: "quillet.dll"; Flags: dontcopy
Source: "{#QuilletDll}"; DestDir: "{app}"; DestName: "quillet.dll"; Flags: ignoreversion uninsneveruninstall
#endif

[Code]
#ifndef QuilletExe
function QuilletRunSetup(Owner: HWND; AddOnFolder, CommandText: String; Flags: Cardinal): Integer;
  external 'QuilletRun@files:quillet.dll stdcall setuponly';
function QuilletRunUninstall(Owner: HWND; AddOnFolder, CommandText: String; Flags: Cardinal): Integer;
  external 'QuilletRun@{app}\quillet.dll stdcall uninstallonly';
#endif

function QuilletGrund(Status: Integer): String;
begin
  case Status of
    1: Result := 'Die Einträge in der Registrierung konnten nicht geschrieben oder gelöscht werden (Status 1). Bitte starten Sie das Programm mit Administratorrechten erneut.';
    2: Result := 'Quillet hat den Aufruf abgelehnt (Status 2): Die Befehlszeile oder der Name des Zusatzprogramms ist ungültig. Bitte wenden Sie sich an den Hersteller von {#QuilletText(QuilletAddOnName)}.';
    3: Result := 'Kestrelview ist nicht in Version 4.3 oder höher installiert (Status 3). Bitte installieren Sie zuerst den aktuellen Kestrelview und starten Sie ihn einmal.';
  else
    Result := Format('Quillet endete mit dem unbekannten Status %d.', [Status]);
  end;
end;

// Quillet's status for CommandText: 0 done, 1 the registry refused, 2 the command refused,
// 3 Kestrelview outdated; -1 when quillet.exe could not be started.
function QuilletAufruf(const CommandText: String; Uninstalling: Boolean): Integer;
#ifndef QuilletExe
var
  Flags: Cardinal;
#endif
begin
#ifdef QuilletExe
  if not Exec(ExpandConstant('{app}\quillet.exe'), '-s ' + CommandText, '', SW_SHOWNORMAL,
              ewWaitUntilTerminated, Result) then
    Result := -1;
#else
  // 1 = QUILLET_SILENT: no message box, each answered with the button that does least.
  Flags := 0;
  if Uninstalling then
  begin
    if UninstallSilent then
      Flags := 1;
    Result := QuilletRunUninstall(UninstallProgressForm.Handle, ExpandConstant('{app}'), CommandText, Flags);
  end
  else
  begin
    if WizardSilent then
      Flags := 1;
    Result := QuilletRunSetup(WizardForm.Handle, ExpandConstant('{app}'), CommandText, Flags);
  end;
#endif
end;

procedure QuilletAnmelden;
var
  Status: Integer;
begin
  Status := QuilletAufruf('"{#QuilletText(QuilletAddOnName)}","{#QuilletText(QuilletKurzbeschreibung)}","{#QuilletText(QuilletProgramm)}"', False);
  if Status <> 0 then
    RaiseException('{#QuilletText(QuilletAddOnName)} konnte nicht bei Kestrelview angemeldet werden.' + #13#10#13#10 + QuilletGrund(Status));
end;

// An event attribute, so that the setup's own CurUninstallStepChanged, if any, still runs.
<event('CurUninstallStepChanged')>
procedure QuilletAbmelden(CurUninstallStep: TUninstallStep);
var
  Status: Integer;
begin
  if CurUninstallStep = usUninstall then
  begin
    Status := QuilletAufruf('"{#QuilletText(QuilletAddOnName)}"', True);
    if Status <> 0 then
    begin
      SuppressibleMsgBox('{#QuilletText(QuilletAddOnName)} konnte nicht bei Kestrelview abgemeldet werden.' + #13#10#13#10 + QuilletGrund(Status) + #13#10#13#10 + 'Die Dateien bleiben installiert.', mbCriticalError, MB_OK, IDOK);
      Abort;
    end;
  end
#ifndef QuilletExe
  else if CurUninstallStep = usPostUninstall then
  begin
    UnloadDLL(ExpandConstant('{app}\quillet.dll'));
    DeleteFile(ExpandConstant('{app}\quillet.dll'));
    RemoveDir(ExpandConstant('{app}'));
  end
#endif
  ;
end;
