#include "setup_wizard/win/sheets.h"

#include <exception>
#include <memory>
#include <vector>

#include "common/win/handles.h"
#include "common/win/resource_text.h"
#include "resources/setup_wizard/resource.h"

namespace setup_wizard::win {

std::wstring LoadText(HINSTANCE module, int id) { return common::win::LoadResourceText(module, static_cast<UINT>(id)); }

PROPSHEETPAGEW PropertyPage::describe() {
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

void PropertyPage::resetTitle() const { ::SetWindowTextW(sheet(), run_.title.c_str()); }

void PropertyPage::setButtons(unsigned buttons) const {
  ::PostMessageW(sheet(), PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(buttons));
}

INT_PTR CALLBACK PropertyPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_INITDIALOG) {
      auto* page = reinterpret_cast<PropertyPage*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(page));
      page->window_ = window;
    }
    auto* page = reinterpret_cast<PropertyPage*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    return page ? page->handle(message, wParam, lParam) : FALSE;
  } catch (const std::exception&) {
    return FALSE;
  }
}

INT_PTR PropertyPage::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      onInit();
      return TRUE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != IDC_LOGO) return FALSE;
      drawLogo(*item);
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == PSN_SETACTIVE) {
        resetTitle();
        ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, onSetActive());
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

void PropertyPage::drawLogo(const DRAWITEMSTRUCT& item) const {
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

namespace {

void ShowWelcome(HWND page, const WizardRun& run, const WelcomeTexts& texts, HINSTANCE module, int mainId,
                 int detailId, int continueId) {
  ::SetDlgItemTextW(page, mainId, FormatWithName(LoadText(module, texts.main), run.information.productName()).c_str());
  if (detailId != 0) ::SetDlgItemTextW(page, detailId, texts.detail ? LoadText(module, texts.detail).c_str() : L"");
  if (!texts.continueShown) ::SetDlgItemTextW(page, continueId, L"");
}

WelcomeTexts CheckPreconditions(SupportLibrary& library, bool install) {
  const int ok = library.CheckSetupPreconditions();
  int32_t written = support_abi::kStatusUnset;
  const int status = ok == 1 ? 0 : library.GetLastSupportStatus(&written);
  return DecideWelcome(install, ok, status);
}

}  // namespace

CIWzGuide::CIWzGuide(HINSTANCE module, WizardRun& run) : PropertyPage(module, run, IDD_IWZ_GUIDE) {}

LRESULT CIWzGuide::onSetActive() {
  const WelcomeTexts texts = CheckPreconditions(run_.library, true);
  ShowWelcome(window(), run_, texts, module_, IDC_IWZ_GUIDE_MAIN, IDC_IWZ_GUIDE_DETAIL, IDC_IWZ_CONTINUE);
  // The welcome page is never the last page of the finished wizard, and never offers Back.
  setButtons(WizardButtons(texts.allowNext, false, true, false));
  return 0;
}

CUWzGuide::CUWzGuide(HINSTANCE module, WizardRun& run) : PropertyPage(module, run, IDD_UWZ_GUIDE) {}

LRESULT CUWzGuide::onSetActive() {
  const WelcomeTexts texts = CheckPreconditions(run_.library, false);
  ShowWelcome(window(), run_, texts, module_, IDC_UWZ_GUIDE_MAIN, 0, IDC_UWZ_CONTINUE);
  setButtons(WizardButtons(texts.allowNext, false, true, false));
  return 0;
}

int RunSheets(HINSTANCE module, HWND owner, WizardRun& run) {
  std::vector<std::unique_ptr<PropertyPage>> pages;
  if (run.install) pages.push_back(std::make_unique<CIWzGuide>(module, run));
  else pages.push_back(std::make_unique<CUWzGuide>(module, run));

  std::vector<PROPSHEETPAGEW> described;
  for (const auto& page : pages) described.push_back(page->describe());
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
  header.hwndParent = owner;
  header.hInstance = module;
  header.pszCaption = run.title.c_str();
  header.nPages = static_cast<UINT>(described.size());
  header.ppsp = described.data();
  return ::PropertySheetW(&header) > 0 ? 1 : 0;
}

}  // namespace setup_wizard::win
