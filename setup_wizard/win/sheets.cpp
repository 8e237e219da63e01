#include "setup_wizard/win/sheets.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

#include "common/win/handles.h"
#include "common/win/resource_text.h"
#include "resources/setup_wizard/resource.h"

namespace setup_wizard::win {

std::wstring LoadText(HINSTANCE module, int id) { return common::win::LoadResourceText(module, static_cast<UINT>(id)); }

PROPSHEETPAGEW PropertyPage::Describe() {
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof page;
  // The run's title, not a page caption, heads the sheet on every page.
  page.dwFlags = PSP_USETITLE;
  page.pszTitle = run_.title.c_str();
  page.hInstance = module_;
  page.pszTemplate = MAKEINTRESOURCEW(dialogId_);
  page.pfnDlgProc = &PropertyPage::DialogProc;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return page;
}

void PropertyPage::ResetTitle() const { ::SetWindowTextW(Sheet(), run_.title.c_str()); }

void PropertyPage::SetButtons(unsigned buttons) const {
  ::PostMessageW(Sheet(), PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(buttons));
}

INT_PTR CALLBACK PropertyPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_INITDIALOG) {
      auto* page = reinterpret_cast<PropertyPage*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(page));
      page->window_ = window;
    }
    auto* page = reinterpret_cast<PropertyPage*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    return page ? page->Handle(message, wParam, lParam) : FALSE;
  } catch (const std::exception&) {
    return FALSE;
  }
}

INT_PTR PropertyPage::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit();
      return TRUE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != IDC_LOGO) return OnDrawItem(*item) ? TRUE : FALSE;
      DrawLogo(*item);
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      LRESULT result = 0;
      if (header->code == PSN_SETACTIVE) {
        ResetTitle();
        result = OnSetActive();
      } else if (!OnNotify(header->code, result)) {
        return FALSE;
      }
      ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return FALSE;
    case WM_DESTROY:
      OnDestroy();
      return FALSE;
    default:
      return message >= WM_APP && OnMessage(message, wParam, lParam) ? TRUE : FALSE;
  }
}

void PropertyPage::DrawLogo(const DRAWITEMSTRUCT& item) const {
  common::win::UniqueGdi<HBITMAP> bitmap(static_cast<HBITMAP>(
      ::LoadImageW(module_, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) return;
  BITMAP info{};
  ::GetObjectW(bitmap.get(), sizeof info, &info);
  common::win::UniqueMemoryDc memory(::CreateCompatibleDC(item.hDC));
  const HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
  const RECT& r = item.rcItem;
  // Stretched to the button and clipped by it.
  const int saved = ::SaveDC(item.hDC);
  ::IntersectClipRect(item.hDC, r.left, r.top, r.right, r.bottom);
  ::SetStretchBltMode(item.hDC, HALFTONE);
  ::StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory.get(), 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
  ::RestoreDC(item.hDC, saved);
  ::SelectObject(memory.get(), old);
}

void StopBox(HWND owner, const std::wstring& caption, const std::wstring& text) {
  ::MessageBeep(0xFFFFFFFF);
  ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}

namespace {

// A sheet takes its position from its template, relative to its owner; the launcher's window is a
// 0 x 0 point at the centre of the screen, from which the sheet would hang to the lower right.
void CentreSheet(HWND sheet) {
  RECT own{};
  if (!::GetWindowRect(sheet, &own)) return;
  const HWND owner = ::GetWindow(sheet, GW_OWNER);
  MONITORINFO screen{};
  screen.cbSize = sizeof screen;
  if (!::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : sheet, MONITOR_DEFAULTTOPRIMARY), &screen)) return;
  RECT around = screen.rcWork;
  RECT ownerRect{};
  if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner) && ::GetWindowRect(owner, &ownerRect) &&
      ownerRect.right > ownerRect.left && ownerRect.bottom > ownerRect.top) {
    around = ownerRect;
  }
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  LONG x = around.left + (around.right - around.left - width) / 2;
  LONG y = around.top + (around.bottom - around.top - height) / 2;
  // Never off the screen's work area (its top-left corner wins on a screen smaller than the sheet).
  x = std::max(screen.rcWork.left, std::min(x, screen.rcWork.right - width));
  y = std::max(screen.rcWork.top, std::min(y, screen.rcWork.bottom - height));
  ::SetWindowPos(sheet, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CALLBACK Centred(HWND sheet, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED) CentreSheet(sheet);
  return 0;
}

// Only Finish closes the progress sheet: its close box does nothing.
int CALLBACK CentredWithoutCloseBox(HWND sheet, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED) {
    CentreSheet(sheet);
    ::EnableMenuItem(::GetSystemMenu(sheet, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  }
  return 0;
}

}  // namespace

INT_PTR RunWizardSheet(HINSTANCE module, HWND owner, const std::wstring& title,
                       const std::vector<PropertyPage*>& pages, CloseBox closeBox) {
  std::vector<PROPSHEETPAGEW> described;
  for (PropertyPage* page : pages) described.push_back(page->Describe());
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
  header.hwndParent = owner;
  header.hInstance = module;
  header.pszCaption = title.c_str();
  header.nPages = static_cast<UINT>(described.size());
  header.ppsp = described.data();
  header.pfnCallback = closeBox == CloseBox::Enabled ? &Centred : &CentredWithoutCloseBox;
  return ::PropertySheetW(&header);
}

int RunSheets(HINSTANCE module, HWND owner, WizardRun& run) {
  return run.install ? RunInstallation(module, owner, run) : RunDeletion(module, owner, run);
}

}  // namespace setup_wizard::win
