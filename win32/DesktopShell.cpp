#include "win32/DesktopShell.h"

#include <windows.h>
// After windows.h, which they need.
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "win32/Com.h"

namespace quillet {

namespace {

VARIANT TextVariant(BSTR text) {
  VARIANT variant{};
  variant.vt = VT_BSTR;
  variant.bstrVal = text;  // still owned by the caller: never VariantClear'ed
  return variant;
}

}  // namespace

// The way from the shell's window list to its ShellExecute: the desktop window's browser, its
// view, the view's automation object, and that object's shell application.
bool ShellExecuteAsDesktopUser(const std::wstring& file, const std::wstring& directory) {
  const ComApartment apartment;
  ComPtr<IShellWindows> windows;
  if (FAILED(OLE32(CoCreateInstance)(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                     windows.put_void()))) {
    return false;
  }
  VARIANT anywhere{};  // VT_EMPTY: the desktop has no location to look for
  LONG window = 0;
  ComPtr<IDispatch> desktop;
  if (windows->FindWindowSW(&anywhere, &anywhere, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                            desktop.put()) != S_OK ||
      !desktop) {
    return false;
  }
  ComPtr<IServiceProvider> services;
  ComPtr<IShellBrowser> browser;
  ComPtr<IShellView> view;
  ComPtr<IDispatch> background;
  ComPtr<IShellFolderViewDual> folderView;
  ComPtr<IDispatch> application;
  ComPtr<IShellDispatch2> shell;
  if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.put_void())) ||
      FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void())) ||
      FAILED(browser->QueryActiveShellView(view.put())) ||
      FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.put_void())) ||
      FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.put_void())) ||
      FAILED(folderView->get_Application(application.put())) ||
      FAILED(application->QueryInterface(IID_IShellDispatch2, shell.put_void()))) {
    return false;
  }

  const unique_bstr fileText(
      OLEAUT32(SysAllocStringLen)(file.data(), static_cast<UINT>(file.size())));
  const unique_bstr directoryText(
      OLEAUT32(SysAllocStringLen)(directory.data(), static_cast<UINT>(directory.size())));
  const unique_bstr operationText(OLEAUT32(SysAllocString)(L"Open"));
  if (!fileText || !directoryText || !operationText) return false;
  VARIANT noParameters{};
  VARIANT show{};
  show.vt = VT_I4;
  show.lVal = SW_SHOWNORMAL;
  return SUCCEEDED(shell->ShellExecute(fileText.get(), noParameters,
                                       TextVariant(directoryText.get()),
                                       TextVariant(operationText.get()), show));
}

}  // namespace quillet
