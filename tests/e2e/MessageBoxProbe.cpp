#include "tests/e2e/MessageBoxProbe.h"

#include <array>
#include <cstdint>

#include "win32/UniqueHandle.h"

namespace quillet {

namespace e2e {
namespace {

using unique_memory_dc = unique_handle<HDC, &::DeleteDC>;

// The static control that holds a message box's text, and the icon control: Wine gives the icon
// the id 0x440, Windows 0x14.
constexpr int kTextId = 0xFFFF;
constexpr int kWineIconId = 0x440;
constexpr int kWindowsIconId = 0x14;

int IdOf(Button button) {
  switch (button) {
    case Button::Ok:
      return IDOK;
    case Button::Yes:
      return IDYES;
    case Button::No:
      return IDNO;
    case Button::Cancel:
      return IDCANCEL;
  }
  return 0;
}

// The window's own text as stored with it; unlike WM_GETTEXT this never waits for its thread.
std::wstring StoredText(HWND window) {
  std::array<wchar_t, 4096> buffer{};
  const int length = InternalGetWindowText(window, buffer.data(), static_cast<int>(buffer.size()));
  return std::wstring(buffer.data(), length > 0 ? length : 0);
}

bool Shown(HWND dialog, int id) {
  const HWND control = GetDlgItem(dialog, id);
  return control != nullptr && IsWindowVisible(control);
}

// A 32-bit top-down DIB section selected into its own memory DC.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    dc_.reset(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    pixels_ = static_cast<const std::uint32_t*>(bits);
    if (dc_ && bitmap_) SelectObject(dc_.get(), bitmap_.get());
  }
  bool ok() const { return dc_ && bitmap_ && pixels_ != nullptr; }
  HDC dc() const { return dc_.get(); }
  // The colour of pixel i, without the alpha byte.
  std::uint32_t Rgb(int i) const {
    GdiFlush();
    return pixels_[i] & 0xFFFFFFu;
  }
  int size() const { return width_ * height_; }

 private:
  int width_;
  int height_;
  unique_memory_dc dc_;
  unique_hbitmap bitmap_;
  const std::uint32_t* pixels_ = nullptr;
};

// How many of the icon's opaque pixels differ from the captured ones, as a fraction; 1 when the
// icon could not be drawn. Drawn once on black and once on white, the pixels that come out the
// same are the opaque ones, so the box's background plays no part.
double Mismatch(const Canvas& captured, int width, int height, LPCWSTR systemIcon) {
  const HICON icon = LoadIconW(nullptr, systemIcon);  // shared: not to be destroyed
  Canvas onBlack(width, height);
  Canvas onWhite(width, height);
  if (icon == nullptr || !onBlack.ok() || !onWhite.ok()) return 1.0;
  RECT all{0, 0, width, height};
  FillRect(onBlack.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  FillRect(onWhite.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawIconEx(onBlack.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  DrawIconEx(onWhite.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  int opaque = 0;
  int differing = 0;
  for (int i = 0; i < captured.size(); ++i) {
    if (onBlack.Rgb(i) != onWhite.Rgb(i)) continue;
    ++opaque;
    if (onBlack.Rgb(i) != captured.Rgb(i)) ++differing;
  }
  return opaque < 16 ? 1.0 : static_cast<double>(differing) / opaque;
}

}  // namespace

MessageBoxSeen ReadMessageBox(HWND dialog) {
  MessageBoxSeen box;
  box.caption = StoredText(dialog);
  if (const HWND text = GetDlgItem(dialog, kTextId)) box.text = StoredText(text);
  box.hasOk = Shown(dialog, IDOK);
  box.hasYes = Shown(dialog, IDYES);
  box.hasNo = Shown(dialog, IDNO);
  box.hasCancel = Shown(dialog, IDCANCEL);
  return box;
}

Icon ReadMessageBoxIcon(HWND dialog) {
  HWND control = GetDlgItem(dialog, kWineIconId);
  if (control == nullptr || !IsWindowVisible(control)) control = GetDlgItem(dialog, kWindowsIconId);
  if (control == nullptr || !IsWindowVisible(control)) return Icon::None;

  // What the screen shows where the control is: only the screen is shared between processes.
  RECT rect{};
  if (!GetWindowRect(control, &rect)) return Icon::Unknown;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0 || width > 256 || height > 256) return Icon::Unknown;
  Canvas captured(width, height);
  const unique_screen_dc screen(GetDC(nullptr));
  if (!captured.ok() || !screen ||
      !BitBlt(captured.dc(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY)) {
    return Icon::Unknown;
  }

  struct Candidate {
    Icon icon;
    LPCWSTR id;
  };
  const Candidate candidates[] = {{Icon::Information, IDI_INFORMATION},
                                  {Icon::Error, IDI_ERROR},
                                  {Icon::Question, IDI_QUESTION},
                                  {Icon::Warning, IDI_WARNING}};
  Icon best = Icon::Unknown;
  double bestMismatch = 0.02;  // a few stray pixels at most
  for (const Candidate& candidate : candidates) {
    const double mismatch = Mismatch(captured, width, height, candidate.id);
    if (mismatch <= bestMismatch) {
      bestMismatch = mismatch;
      best = candidate.icon;
    }
  }
  return best;
}

bool HasButton(const MessageBoxSeen& box, Button button) {
  switch (button) {
    case Button::Ok:
      return box.hasOk;
    case Button::Yes:
      return box.hasYes;
    case Button::No:
      return box.hasNo;
    case Button::Cancel:
      return box.hasCancel;
  }
  return false;
}

std::optional<Button> SafestButton(const MessageBoxSeen& box) {
  for (Button button : {Button::Cancel, Button::No, Button::Ok, Button::Yes}) {
    if (HasButton(box, button)) return button;
  }
  return std::nullopt;
}

bool Press(HWND dialog, Button button) {
  const HWND control = GetDlgItem(dialog, IdOf(button));
  if (control == nullptr) return false;
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
}

}  // namespace e2e

}  // namespace quillet
