#include "win32/FormQuillet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cwctype>
#include <ostream>
#include <string>
#include <vector>

#include "testing/WindowsPath.h"
#include "version.h"  // made by CMake in the build folder
#include "win32/resource.h"

namespace quillet {

namespace {

constexpr wchar_t kInstallText[] = L"Das Zusatzprogramm wird installiert ..";
constexpr wchar_t kRemoveText[] = L"Das Zusatzprogramm wird entfernt ..";

HINSTANCE Self() { return GetModuleHandleW(nullptr); }

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::vector<HWND> Children(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

// A control's place in its parent's client area.
RECT PlaceIn(HWND parent, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

UINT DpiOf(HWND window) {
  // The form lays out at the window's DPI; under Wine and on a plain desktop that is 96.
  const unique_screen_dc screen(GetDC(nullptr));
  const int systemDpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
  return dpi ? dpi : static_cast<UINT>(systemDpi);
}

struct TwipsCase {
  int twips;
  UINT dpi;
  int pixels;
};

TEST(FormQuillet, TwipsToPixelsUsesTheDpi) {
  const TwipsCase cases[] = {
      {3630, 96, 242}, {555, 96, 37},    {90, 96, 6},      {150, 96, 10},
      {255, 96, 17},   {270, 96, 18},    {450, 96, 30},    {180, 96, 12},
      {45, 96, 3},     {195, 96, 13},    {3630, 144, 363}, {555, 144, 56},
      {195, 144, 20},  {3630, 192, 484}, {555, 192, 74},   {45, 120, 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormQuillet::TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " @ " << c.dpi;
  }
}

TEST(FormQuillet, NoWindowUntilShown) {
  FormQuillet form(Self());
  form.SetStatusText(kInstallText);
  form.ProcessPendingEvents();
  EXPECT_EQ(form.Window(), nullptr);
  EXPECT_EQ(FindWindowW(L"FormQuillet", nullptr), nullptr);
  form.Unload();
  EXPECT_EQ(FindWindowW(L"FormQuillet", nullptr), nullptr);
}

TEST(FormQuillet, ShownWindowHasCaptionLayoutAndTwoControls) {
  FormQuillet form(Self());
  form.SetStatusText(kInstallText);
  ASSERT_TRUE(form.Show());
  const HWND window = form.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(TextOf(window), L"Installation");
  EXPECT_EQ(GetMenu(window), nullptr);
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

  const UINT dpi = DpiOf(window);
  const auto px = [dpi](int twips) { return FormQuillet::TwipsToPixels(twips, dpi); };
  const std::vector<HWND> children = Children(window);
  ASSERT_EQ(children.size(), 2u);
  const HWND picture = GetDlgItem(window, 1);
  const HWND label = GetDlgItem(window, 2);
  ASSERT_NE(picture, nullptr);
  ASSERT_NE(label, nullptr);

  // Picture1: at 90,150 twips, 255 x 270 twips, the 17 x 18 bitmap in it.
  const RECT p = PlaceIn(window, picture);
  EXPECT_EQ(p.left, px(90));
  EXPECT_EQ(p.top, px(150));
  EXPECT_EQ(p.right - p.left, px(255));
  EXPECT_EQ(p.bottom - p.top, px(270));
  EXPECT_EQ(GetWindowLongW(picture, GWL_STYLE) & WS_BORDER, 0);
  EXPECT_EQ(GetWindowLongW(picture, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), 0);
  const auto bitmap =
      reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  ASSERT_NE(GetObjectW(bitmap, sizeof info, &info), 0);
  EXPECT_EQ(info.bmWidth, 17);
  EXPECT_EQ(info.bmHeight, 18);

  // LabelStatus: at 450,180 twips, one line as wide as its text, in the system's message font.
  EXPECT_EQ(TextOf(label), kInstallText);
  const RECT l = PlaceIn(window, label);
  EXPECT_EQ(l.left, px(450));
  EXPECT_EQ(l.top, px(180));
  const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  const unique_screen_dc screen(GetDC(nullptr));
  const HGDIOBJ previous = SelectObject(screen.get(), font);
  SIZE text{};
  GetTextExtentPoint32W(screen.get(), kInstallText, static_cast<int>(wcslen(kInstallText)), &text);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen.get(), &metrics);
  SelectObject(screen.get(), previous);
  EXPECT_EQ(l.right - l.left, text.cx);
  EXPECT_GE(l.bottom - l.top, px(195));
  EXPECT_GE(l.bottom - l.top, metrics.tmHeight);
  EXPECT_LT(l.bottom - l.top, 2 * metrics.tmHeight);
  LOGFONTW used{};
  GetObjectW(font, sizeof used, &used);
  NONCLIENTMETRICSW system{};
  system.cbSize = sizeof system;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof system, &system, 0));
  EXPECT_STREQ(used.lfFaceName, system.lfMessageFont.lfFaceName);

  // The client area: 3630 x 555 twips; larger only if the label would not fit otherwise.
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_LE(l.right, client.right);
  EXPECT_LE(l.bottom, client.bottom);
  if (l.right <= px(3630)) {
    EXPECT_EQ(client.right, px(3630));
  }
  EXPECT_EQ(client.bottom, px(555));

  // Centred on the primary screen's work area.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT frame{};
  GetWindowRect(window, &frame);
  EXPECT_NEAR(frame.left + frame.right, monitor.rcWork.left + monitor.rcWork.right, 2);
  EXPECT_NEAR(frame.top + frame.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 2);
}

TEST(FormQuillet, EmptyLabelIs45TwipsWide) {
  FormQuillet form(Self());
  ASSERT_TRUE(form.Show());
  const HWND label = GetDlgItem(form.Window(), 2);
  const RECT l = PlaceIn(form.Window(), label);
  EXPECT_EQ(l.right - l.left, FormQuillet::TwipsToPixels(45, DpiOf(form.Window())));
  EXPECT_EQ(TextOf(label), L"");
}

TEST(FormQuillet, TextSetWhileShownResizesTheLabel) {
  FormQuillet form(Self());
  form.SetStatusText(kInstallText);
  ASSERT_TRUE(form.Show());
  const HWND label = GetDlgItem(form.Window(), 2);
  const RECT before = PlaceIn(form.Window(), label);
  form.SetStatusText(kRemoveText);
  const RECT after = PlaceIn(form.Window(), label);
  EXPECT_EQ(TextOf(label), kRemoveText);
  EXPECT_LT(after.right - after.left, before.right - before.left);
}

TEST(FormQuillet, ShownWindowIsPaintedAtOnce) {
  FormQuillet form(Self());
  form.SetStatusText(kInstallText);
  ASSERT_TRUE(form.Show());
  // No message is dispatched from here on: what gets painted was painted by Show itself.
  const HWND window = form.Window();
  EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
  for (const HWND control : Children(window)) EXPECT_FALSE(GetUpdateRect(control, nullptr, FALSE));

  // And it reaches the screen: the picture's red ground and white triangle, polled while the
  // display catches up.
  const HWND picture = GetDlgItem(window, 1);
  RECT p{};
  GetWindowRect(picture, &p);
  const unique_screen_dc screen(GetDC(nullptr));
  COLORREF ground = 0;
  COLORREF triangle = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  do {
    ground = GetPixel(screen.get(), p.left + 1, p.top + 1);
    triangle = GetPixel(screen.get(), p.left + 7, p.top + 8);
    if (triangle == RGB(0xFF, 0xFF, 0xFF)) break;
    Sleep(50);
  } while (std::chrono::steady_clock::now() < deadline);
  EXPECT_GT(GetRValue(ground), 0xA0);
  EXPECT_LT(GetGValue(ground), 0x40);
  EXPECT_EQ(triangle, RGB(0xFF, 0xFF, 0xFF));
}

TEST(FormQuillet, PendingEventsAreProcessedAndCloseIsIgnored) {
  FormQuillet form(Self());
  ASSERT_TRUE(form.Show());
  PostMessageW(form.Window(), WM_CLOSE, 0, 0);
  form.ProcessPendingEvents();
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_TRUE(IsWindow(form.Window()));
}

TEST(FormQuillet, UnloadDestroysTheWindow) {
  FormQuillet form(Self());
  ASSERT_TRUE(form.Show());
  const HWND window = form.Window();
  form.Unload();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(form.Window(), nullptr);
  form.Unload();
  form.ProcessPendingEvents();
  EXPECT_EQ(form.Window(), nullptr);
}

TEST(FormQuillet, WindowDestroyedElsewhereIsNotDestroyedAgain) {
  FormQuillet form(Self());
  ASSERT_TRUE(form.Show());
  DestroyWindow(form.Window());
  EXPECT_EQ(form.Window(), nullptr);
  form.Unload();
}

// --- The resources, as Windows reads them from the program file -------------------------

template <typename T>
const T* Resource(LPCWSTR name, LPCWSTR type, DWORD* size = nullptr) {
  const HRSRC found = FindResourceW(Self(), name, type);
  if (!found) return nullptr;
  if (size) *size = SizeofResource(Self(), found);
  return static_cast<const T*>(LockResource(LoadResource(Self(), found)));
}

TEST(Resources, PictureIsA17By18Rle8BitmapWith256Colours) {
  const auto* header = Resource<BITMAPINFOHEADER>(MAKEINTRESOURCEW(IDB_PICTURE1), RT_BITMAP);
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->biWidth, 17);
  EXPECT_EQ(header->biHeight, 18);
  EXPECT_EQ(header->biBitCount, 8);
  EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RLE8));
  EXPECT_TRUE(header->biClrUsed == 256 || header->biClrUsed == 0);
}

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  WORD id;
};
struct IconGroup {
  WORD reserved, type, count;
  IconGroupEntry entries[1];
};
#pragma pack(pop)

TEST(Resources, IconHolds32And16PixelsAt16Colours) {
  const auto* group = Resource<IconGroup>(MAKEINTRESOURCEW(IDI_QUILLET), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->count, 2);
  std::vector<int> sizes;
  for (int i = 0; i < group->count; ++i) {
    const IconGroupEntry& entry = group->entries[i];
    sizes.push_back(entry.width);
    EXPECT_EQ(entry.height, entry.width);
    EXPECT_EQ(entry.bitCount, 4);
    const auto* image = Resource<BITMAPINFOHEADER>(MAKEINTRESOURCEW(entry.id), RT_ICON);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->biBitCount, 4);
    EXPECT_EQ(image->biHeight, 2 * image->biWidth);  // colour image and AND mask
  }
  EXPECT_EQ(sizes, (std::vector<int>{32, 16}));
}

TEST(Resources, ManifestDeclaresDpiAwarenessAndNoExecutionLevel) {
  DWORD size = 0;
  const char* text = Resource<char>(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24), &size);
  ASSERT_NE(text, nullptr);
  const std::string manifest(text, size);
  EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
  EXPECT_NE(manifest.find("true/pm"), std::string::npos);
  EXPECT_EQ(manifest.find("<requestedExecutionLevel"), std::string::npos);
  EXPECT_EQ(manifest.find("<trustInfo"), std::string::npos);
  // The manifest is made from the project's version, for the processor of this build.
  EXPECT_NE(manifest.find("name=\"Orvo.Quillet\" version=\"" QUILLET_VERSION_TEXT "\""),
            std::string::npos);
#ifdef _WIN64
  EXPECT_NE(manifest.find("processorArchitecture=\"amd64\"/>"), std::string::npos);
#else
  EXPECT_NE(manifest.find("processorArchitecture=\"x86\"/>"), std::string::npos);
#endif
}

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040704B0\\") + name;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value) return L"<none>";
  return std::wstring(static_cast<const wchar_t*>(value));
}

// The exe's version information is read from this test program, which carries quillet.rc; the
// DLL's from the built quillet.dll.
struct VersionedFile {
  const char* name;
  bool dll;
  DWORD fileType;
  const wchar_t* originalFilename;
  const wchar_t* description;
};

std::wstring PathOf(const VersionedFile& file) {
  if (!file.dll) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
  }
  return WindowsPathOf(QUILLET_DLL_PATH);
}

void PrintTo(const VersionedFile& file, std::ostream* out) { *out << file.name; }

class VersionInformation : public ::testing::TestWithParam<VersionedFile> {};

TEST_P(VersionInformation, ComesFromTheSharedHeader) {
  const std::wstring path = PathOf(GetParam());
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(QUILLET_VERSION_MINOR, QUILLET_VERSION_MAJOR));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(QUILLET_VERSION_BUILD, QUILLET_VERSION_PATCH));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwFileType, GetParam().fileType);
  EXPECT_EQ(VersionString(block, L"OriginalFilename"), GetParam().originalFilename);

  const std::wstring numbers =
      std::to_wstring(QUILLET_VERSION_MAJOR) + L"." + std::to_wstring(QUILLET_VERSION_MINOR) +
      L"." + std::to_wstring(QUILLET_VERSION_PATCH) + L"." + std::to_wstring(QUILLET_VERSION_BUILD);
  EXPECT_EQ(VersionString(block, L"FileVersion"), numbers);
  EXPECT_EQ(VersionString(block, L"ProductVersion"), numbers);
  EXPECT_EQ(VersionString(block, L"ProductName"), L"Quillet");
  EXPECT_EQ(VersionString(block, L"FileDescription"), GetParam().description);

  // Without a requested execution level, UAC would ask to elevate a program whose version
  // strings hold one of these words.
  for (const wchar_t* name :
       {L"FileDescription", L"ProductName", L"InternalName", L"OriginalFilename", L"CompanyName"}) {
    std::wstring value = VersionString(block, name);
    for (wchar_t& c : value) c = static_cast<wchar_t>(std::towlower(c));
    for (const wchar_t* word : {L"setup", L"install", L"update", L"patch"}) {
      EXPECT_EQ(value.find(word), std::wstring::npos) << name << " holds " << word;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Resources, VersionInformation,
    ::testing::Values(
        VersionedFile{"Exe", false, VFT_APP, L"quillet.exe",
                      L"Quillet \u2013 Zusatzprogramme f\u00FCr den Kestrelview einrichten"},
        VersionedFile{
            "Dll", true, VFT_DLL, L"quillet.dll",
            L"Quillet \u2013 Zusatzprogramme f\u00FCr den Kestrelview einrichten (MSI, NSIS, C)"}),
    [](const ::testing::TestParamInfo<VersionedFile>& info) { return info.param.name; });

}  // namespace

}  // namespace quillet
