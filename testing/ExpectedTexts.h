// Texts the user must see, restated apart from app/Facts.h: the unit and the end-to-end tests
// compare with these, so that a changed product text fails both.
#pragma once

namespace quillet::expected {

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

}  // namespace quillet::expected
