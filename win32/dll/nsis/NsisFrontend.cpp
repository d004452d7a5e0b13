#include "win32/dll/nsis/NsisFrontend.h"

// After windows.h, which it needs.
#include <commctrl.h>

#include "win32/dll/nsis/NsisApi.h"

namespace quillet::nsis {

NsisFrontend::NsisFrontend(HWND parent, bool silent, std::wstring addOnFolder)
    : GuestFrontend(std::move(addOnFolder), parent, silent), parent_(parent), silent_(silent) {}

void NsisFrontend::AddDetail(const std::wstring& line) {
  if (silent_ || parent_ == nullptr) return;
  // The details list of the installer's inner page; there is none before the install page.
  const HWND page = FindWindowExW(parent_, nullptr, L"#32770", nullptr);
  const HWND list = page ? GetDlgItem(page, kDetailsListId) : nullptr;
  if (list == nullptr) return;
  std::wstring text = line;
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = text.data();
  const LRESULT at = SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  if (at >= 0) SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(at), FALSE);
}

}  // namespace quillet::nsis
