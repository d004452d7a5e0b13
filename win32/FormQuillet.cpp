#include "win32/FormQuillet.h"

#include <algorithm>

#include "app/Facts.h"
#include "win32/LateBound.h"
#include "win32/resource.h"

namespace quillet {

namespace {

constexpr wchar_t kClassName[] = L"FormQuillet";

// The layout, in twips from the top-left corner of the client area.
constexpr int kClientWidth = 3630;
constexpr int kClientHeight = 555;
constexpr int kPictureLeft = 90;
constexpr int kPictureTop = 150;
constexpr int kPictureWidth = 255;  // the bitmap's 17 x 18 pixels at 96 dpi
constexpr int kPictureHeight = 270;
constexpr int kLabelLeft = 450;
constexpr int kLabelTop = 180;
constexpr int kLabelEmptyWidth = 45;
constexpr int kLabelHeight = 195;

constexpr int kPicture1Id = 1;
constexpr int kLabelStatusId = 2;

// A fixed frame with a caption; the system menu only to show the icon in the caption.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;

// Functions of newer Windows versions, taken from user32 when it has them, so that the program
// still starts where they are missing (there the whole desktop has the one system DPI).
template <typename Function>
Function User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

UINT SystemDpi() {
  const unique_screen_dc screen(USER32(GetDC)(nullptr));
  const int dpi = screen ? GDI32(GetDeviceCaps)(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT WindowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
  return dpi ? dpi : SystemDpi();
}

// The system's message font, sized for `dpi`.
unique_hfont MessageFont(UINT dpi) {
  using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto forDpi =
      User32Function<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  const BOOL ok =
      forDpi ? forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)
             : USER32(SystemParametersInfoW)(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  if (!ok) return unique_hfont();
  return unique_hfont(GDI32(CreateFontIndirectW)(&metrics.lfMessageFont));
}

RECT WindowRectForClient(int width, int height, UINT dpi) {
  using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, width, height};
  if (adjustForDpi) {
    adjustForDpi(&rect, kStyle, FALSE, kExStyle, dpi);
  } else {
    USER32(AdjustWindowRectEx)(&rect, kStyle, FALSE, kExStyle);
  }
  return rect;
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC windowProcedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (USER32(GetClassInfoExW)(instance, kClassName, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  // It offers nothing to close: the run removes it when its work is done.
  windowClass.style = CS_NOCLOSE;
  windowClass.lpfnWndProc = windowProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = USER32(LoadCursorW)(nullptr, IDC_ARROW);  // shared, never destroyed
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  return USER32(RegisterClassExW)(&windowClass) != 0;
}

}  // namespace

FormQuillet::FormQuillet(HINSTANCE instance) : instance_(instance) {}

int FormQuillet::TwipsToPixels(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), 1440);
}

void FormQuillet::SetStatusText(const std::wstring& text) {
  statusText_ = text;
  if (!window_) return;
  USER32(SetWindowTextW)(labelStatus_, statusText_.c_str());
  Layout(dpi_);
}

bool FormQuillet::Show() {
  if (!window_ && !Create()) return false;
  CentreOnPrimaryScreen();
  USER32(ShowWindow)(window_.get(), SW_SHOWNORMAL);
  // No message loop runs while the registry work goes on: paint the frame, the client area and
  // both controls now, or the window would stay blank until the work is done.
  USER32(RedrawWindow)
  (window_.get(), nullptr, nullptr,
   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return true;
}

void FormQuillet::ProcessPendingEvents() {
  if (!window_) return;
  MSG message;
  while (USER32(PeekMessageW)(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to consume: leave it for whoever ends the thread.
      USER32(PostQuitMessage)(static_cast<int>(message.wParam));
      break;
    }
    USER32(TranslateMessage)(&message);
    USER32(DispatchMessageW)(&message);
  }
}

void FormQuillet::Unload() {
  window_.reset();
  // Only now that no control uses them.
  font_.reset();
  picture_.reset();
  smallIcon_.reset();
  icon_.reset();
}

bool FormQuillet::Create() {
  if (!RegisterWindowClass(instance_, &FormQuillet::WndProc)) return false;

  icon_.reset(static_cast<HICON>(USER32(LoadImageW)(
      instance_, MAKEINTRESOURCEW(IDI_QUILLET), IMAGE_ICON, USER32(GetSystemMetrics)(SM_CXICON),
      USER32(GetSystemMetrics)(SM_CYICON), LR_DEFAULTCOLOR)));
  smallIcon_.reset(static_cast<HICON>(USER32(LoadImageW)(
      instance_, MAKEINTRESOURCEW(IDI_QUILLET), IMAGE_ICON, USER32(GetSystemMetrics)(SM_CXSMICON),
      USER32(GetSystemMetrics)(SM_CYSMICON), LR_DEFAULTCOLOR)));
  picture_.reset(static_cast<HBITMAP>(USER32(LoadImageW)(instance_, MAKEINTRESOURCEW(IDB_PICTURE1),
                                                         IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));

  // Made hidden at the primary screen's origin, so that it takes that screen's DPI before it is
  // laid out and centred there.
  const HWND window =
      USER32(CreateWindowExW)(kExStyle, kClassName, facts::kStatusWindowCaption, kStyle, 0, 0, 100,
                              50, nullptr, nullptr, instance_, this);
  if (!window) return false;
  window_.reset(window);

  picture1_ = USER32(CreateWindowExW)(
      0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_REALSIZECONTROL, 0, 0, 0, 0,
      window, reinterpret_cast<HMENU>(kPicture1Id), instance_, nullptr);
  labelStatus_ = USER32(CreateWindowExW)(
      0, L"STATIC", statusText_.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0,
      0, 0, 0, window, reinterpret_cast<HMENU>(kLabelStatusId), instance_, nullptr);
  if (!picture1_ || !labelStatus_) {
    window_.reset();
    return false;
  }
  // The controls and the window only borrow these; this object keeps and frees them.
  USER32(SendMessageW)
  (picture1_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_.get()));
  USER32(SendMessageW)(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
  USER32(SendMessageW)(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

  Layout(WindowDpi(window));
  return true;
}

SIZE FormQuillet::LabelSize(UINT dpi) const {
  SIZE size{TwipsToPixels(kLabelEmptyWidth, dpi), TwipsToPixels(kLabelHeight, dpi)};
  const unique_screen_dc screen(USER32(GetDC)(nullptr));
  if (!screen) return size;
  const HGDIOBJ previous = font_ ? GDI32(SelectObject)(screen.get(), font_.get()) : nullptr;
  SIZE text{};
  if (!statusText_.empty() &&
      GDI32(GetTextExtentPoint32W)(screen.get(), statusText_.c_str(),
                                   static_cast<int>(statusText_.size()), &text)) {
    size.cx = text.cx;
  }
  // The line keeps its height, but never cuts off a font taller than the one it was drawn for.
  TEXTMETRICW metrics{};
  if (GDI32(GetTextMetricsW)(screen.get(), &metrics))
    size.cy = std::max<LONG>(size.cy, metrics.tmHeight);
  if (previous) GDI32(SelectObject)(screen.get(), previous);
  return size;
}

void FormQuillet::Layout(UINT dpi) {
  dpi_ = dpi;
  const auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };

  unique_hfont font = MessageFont(dpi);
  USER32(SendMessageW)(labelStatus_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  font_ = std::move(font);  // the old font only now, when the label no longer uses it

  USER32(SetWindowPos)
  (picture1_, nullptr, px(kPictureLeft), px(kPictureTop), px(kPictureWidth), px(kPictureHeight),
   SWP_NOZORDER | SWP_NOACTIVATE);
  const SIZE label = LabelSize(dpi);
  USER32(SetWindowPos)
  (labelStatus_, nullptr, px(kLabelLeft), px(kLabelTop), label.cx, label.cy,
   SWP_NOZORDER | SWP_NOACTIVATE);

  // The client area as laid out. Only a system font so wide or tall that the label would be cut
  // off grows it, to the label plus the picture's left margin.
  const auto fit = [&](int twips, LONG labelEnd) {
    return labelEnd <= px(twips) ? px(twips) : labelEnd + px(kPictureLeft);
  };
  const LONG width = fit(kClientWidth, px(kLabelLeft) + label.cx);
  const LONG height = fit(kClientHeight, px(kLabelTop) + label.cy);
  const RECT frame = WindowRectForClient(width, height, dpi);
  USER32(SetWindowPos)
  (window_.get(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  USER32(InvalidateRect)(window_.get(), nullptr, TRUE);
}

void FormQuillet::CentreOnPrimaryScreen() {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!USER32(GetMonitorInfoW)(USER32(MonitorFromPoint)(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY),
                               &monitor))
    return;
  RECT window{};
  USER32(GetWindowRect)(window_.get(), &window);
  const RECT& work = monitor.rcWork;
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  USER32(SetWindowPos)
  (window_.get(), nullptr, work.left + (work.right - work.left - width) / 2,
   work.top + (work.bottom - work.top - height) / 2, 0, 0,
   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormQuillet::OnDpiChanged(UINT dpi, const RECT& suggested) {
  Layout(dpi);
  USER32(SetWindowPos)
  (window_.get(), nullptr, suggested.left, suggested.top, 0, 0,
   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK FormQuillet::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    USER32(SetWindowLongPtrW)
    (window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<FormQuillet*>(USER32(GetWindowLongPtrW)(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    USER32(SetWindowLongPtrW)(window, GWLP_USERDATA, 0);
    if (self) {
      // Destroyed from outside as well as by Unload: never close it a second time.
      if (self->window_.get() == window) self->window_.release();
      self->picture1_ = nullptr;
      self->labelStatus_ = nullptr;
    }
    return USER32(DefWindowProcW)(window, message, wParam, lParam);
  }
  // Messages before WM_NCCREATE, and those before CreateWindowExW has returned the handle.
  if (!self || self->window_.get() != window)
    return USER32(DefWindowProcW)(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT FormQuillet::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      // The window only reports progress; the run ends it, not the user.
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    default:
      return USER32(DefWindowProcW)(window_.get(), message, wParam, lParam);
  }
}

}  // namespace quillet
