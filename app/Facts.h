// What the host application, the user and the installers see of Quillet, each written once: the
// host's registry layout, and the texts shown. The product, the fuzzers, the benchmarks and the
// end-to-end driver take them from here. Tests of an exact text still spell out the literal they
// expect, so that a slip here is caught rather than copied.
#pragma once

namespace quillet::facts {

// --- The host's registry (HKEY_LOCAL_MACHINE, 32-bit view) ------------------------------------
// The host records its version here; Quillet only reads it.
inline constexpr wchar_t kVersionKey[] = L"Software\\Orvo\\Brannick\\Gemeinsames";
inline constexpr wchar_t kVersionValue[] = L"Version";
// The host key, its list of registered add-ons, and one key per add-on below it.
inline constexpr wchar_t kHostKey[] = L"software\\Orvo\\Brannick\\Brannick";
inline constexpr wchar_t kAddOnList[] = L"AddOns";
inline constexpr wchar_t kAddOnKeyPrefix[] = L"software\\Orvo\\Brannick\\Brannick\\AddOn_";
inline constexpr wchar_t kAddOnKeyClass[] = L"Anwendungsdaten";

// The add-on key's nine values, named as the host reads them (and as the fields of AddOnEintrag).
namespace value {
inline constexpr wchar_t kAddOnName[] = L"AddOnName";
inline constexpr wchar_t kEinbindungsModus[] = L"EinbindungsModus";
inline constexpr wchar_t kExeDateiname[] = L"ExeDateiname";
inline constexpr wchar_t kParameterFest[] = L"ParameterFest";
inline constexpr wchar_t kParameterZusatz[] = L"ParameterZusatz";
inline constexpr wchar_t kKurzBeschreibung[] = L"KurzBeschreibung";
inline constexpr wchar_t kLangBeschreibung[] = L"LangBeschreibung";
inline constexpr wchar_t kSpezialButtonGrafikName[] = L"SpezialButtonGrafikName";
inline constexpr wchar_t kSpezialButtonToolTiptext[] = L"SpezialButtonToolTiptext";
}  // namespace value

// What an install writes where its command line leaves a field out.
inline constexpr int kDefaultEinbindungsModus = 1;
inline constexpr int kDefaultParameterZusatz = 2;
inline constexpr wchar_t kDefaultButtonPicture[] = L"AddOn";

// --- The host's download page, offered for an outdated host ------------------------------------
inline constexpr wchar_t kDownloadAddress[] =
    L"http://www.orvo.de/special.html?Pfad=html/media/static/kestrelview/kv.html";

// --- Texts shown to the user --------------------------------------------------------------------
inline constexpr wchar_t kUsageTitle[] = L"Quillet";
inline constexpr wchar_t kErrorTitle[] = L"Quillet.exe";
inline constexpr wchar_t kUsageText[] =
    L"Nicht genügend Parameter übergeben.\r\n"
    L"\r\n"
    L"Um mit dieser Datei ein AddOn einrichten zu lassen, geben Sie bitte mindestens\r\n"
    L"Name, Kurzbeschreibung und Dateiname der Exe an. Zum Beispiel:\r\n"
    L"\r\n"
    L"quillet.exe \"Vellumar\",\"Videoetiketten drucken\",\"C:\\Vellumar.exe\" \r\n"
    L"\r\n"
    L"Eine vollständige Liste alle möglichen Optionen finden Sie im FAQ-Bereich unter \r\n"
    L"www.orvo.de/faq oder www.kestrelview.de/faq.";
inline constexpr wchar_t kStatusInstall[] = L"Das Zusatzprogramm wird installiert ..";
inline constexpr wchar_t kStatusRemove[] = L"Das Zusatzprogramm wird entfernt ..";
inline constexpr wchar_t kStatusWindowCaption[] = L"Installation";
inline constexpr wchar_t kOpenAddressYourself[] =
    L"Die Downloadseite konnte nicht geöffnet werden. Bitte öffnen Sie diese Adresse in Ihrem "
    L"Browser:\r\n\r\n";
// A bare program file name where no add-on folder was given (the DLL's hosts), around the name.
inline constexpr wchar_t kNoFolderTextBefore[] = L"Der Dateiname der Exe (";
inline constexpr wchar_t kNoFolderTextAfter[] =
    L") enthält keinen Ordner, und der Ordner des AddOns wurde nicht angegeben.";
inline constexpr wchar_t kDownloadQuestion[] =
    L"Der Kestrelview (4.3 oder höher) ist nicht installiert, oder wurde noch nie gestartet."
    L"\r\n"
    L"Möchten Sie den Kestrelview jetzt herunterladen ?";
// The message of a name character outside the allowed set: before and after the character.
inline constexpr wchar_t kInvalidCharacterBefore[] = L"Das Zeichen (";
inline constexpr wchar_t kInvalidCharacterAfter[] = L") ist im AddOn-Namen nicht erlaubt.";
// The message of a number field out of range: "Überlauf: Der Wert (<value>) in Feld <n>
// (<name>) liegt außerhalb ...".
inline constexpr wchar_t kOverflowValue[] = L"Überlauf: Der Wert (";
inline constexpr wchar_t kOverflowField[] = L") in Feld ";
inline constexpr wchar_t kOverflowRange[] =
    L") liegt außerhalb des Zahlenbereichs von -2147483648 bis 2147483647.";
// The notice of a value stored as "typdate:" text that holds no date.
inline constexpr wchar_t kInvalidDateTitle[] = L"Ungültiger Datumswert";
inline constexpr wchar_t kInvalidDateBefore[] = L"Registrierung: ";
inline constexpr wchar_t kInvalidDateMiddle[] = L" enthält den ungültigen Datumswert: ";
inline constexpr wchar_t kInvalidDateAfter[] = L"\r\nDer Standardwert wird verwendet.";

}  // namespace quillet::facts
