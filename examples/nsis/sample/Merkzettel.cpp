// Merkzettel: the smallest possible add-on for Kestrelview, so that the example installer has a
// real program to install and register. Kestrelview starts it from its add-on button; it only
// shows what it was started with.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
  std::wstring text = L"Merkzettel, ein Beispiel-Zusatzprogramm für Kestrelview.";
  if (arguments != nullptr && *arguments != L'\0') {
    text += L"\r\n\r\nGestartet mit: ";
    text += arguments;
  }
  MessageBoxW(nullptr, text.c_str(), L"Merkzettel", MB_OK | MB_ICONINFORMATION);
  return 0;
}
