// The status window: caption "Installation", the program's icon, and two controls, Picture1 (a
// small bitmap) and LabelStatus (one line of text that sizes itself). It is created only when it
// is first shown, so a run that shows none touches no user interface.
#pragma once

#include <windows.h>

#include <string>

#include "win32/UniqueHandle.h"

namespace quillet {

class FormQuillet {
 public:
  // `instance` holds the icon and the bitmap resources.
  explicit FormQuillet(HINSTANCE instance);
  FormQuillet(const FormQuillet&) = delete;
  FormQuillet& operator=(const FormQuillet&) = delete;
  ~FormQuillet() = default;

  // Remembers the text for LabelStatus; sets it at once when the window exists.
  void SetStatusText(const std::wstring& text);
  // Creates the window on first use, centres it on the primary screen, shows it without owner
  // and paints it and its controls before returning. False when it could not be created.
  bool Show();
  // Dispatches the window messages that are waiting, once; nothing when there is no window.
  void ProcessPendingEvents();
  // Destroys the window with its controls, if it exists.
  void Unload();

  // The window, or null before Show and after Unload.
  HWND Window() const { return window_.get(); }

  // `twips` in pixels at `dpi` (1440 twips per inch), rounded to the nearest pixel.
  static int TwipsToPixels(int twips, UINT dpi);

 private:
  static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnDpiChanged(UINT dpi, const RECT& suggested);

  bool Create();
  // Sets the font, the controls' places and the window's size for `dpi`.
  void Layout(UINT dpi);
  SIZE LabelSize(UINT dpi) const;
  void CentreOnPrimaryScreen();

  HINSTANCE instance_;
  std::wstring statusText_;
  UINT dpi_ = 96;
  // Declared before the window so that they outlive it: the controls use them until destroyed.
  unique_hicon icon_;
  unique_hicon smallIcon_;
  unique_hbitmap picture_;
  unique_hfont font_;
  unique_hwnd window_;
  HWND picture1_ = nullptr;     // child of window_, destroyed with it
  HWND labelStatus_ = nullptr;  // child of window_, destroyed with it
};

}  // namespace quillet
