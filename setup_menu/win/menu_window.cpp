#include "setup_menu/win/menu_window.h"

#include <exception>
#include <iterator>

#include "setup_ids.h"

namespace setup_menu::win {

namespace {

// Control ids in the order of setup_menu::Control.
constexpr int kControlIds[] = {IDC_INSTALL,   IDC_INSTALL_DRIVER, IDC_INSTALL_MONITOR, IDC_UNINSTALL,
                               IDC_UNINSTALL_DRIVER, IDC_UNINSTALL_MONITOR, IDC_CLEAN_UP, IDC_USB,
                               IDC_ETHERNET,  IDC_LANGUAGE,     IDC_DOCUMENTS,       IDC_NEXT,
                               IDC_EXIT};
static_assert(std::size(kControlIds) == static_cast<size_t>(Control::Exit) + 1);

constexpr int kDialogIds[] = {IDD_MENU_ENGLISH, IDD_MENU_JAPANESE, IDD_MENU_CHINESE};

std::optional<Control> ControlOf(int id) {
  for (size_t i = 0; i < std::size(kControlIds); ++i) {
    if (kControlIds[i] == id) return static_cast<Control>(i);
  }
  return std::nullopt;
}

}  // namespace

void Win32Dialog::Show(Language language, MenuDialog& logic) {
  MenuWindow window(module_, logic);
  window.Run(language);
}

void MenuWindow::Run(Language language) {
  // A dialog that cannot be made leaves the logic's choice at Exit, so the menu ends.
  ::DialogBoxParamW(module_, MAKEINTRESOURCEW(kDialogIds[static_cast<int>(language)]), nullptr,
                    &MenuWindow::DialogProc, reinterpret_cast<LPARAM>(this));
}

HWND MenuWindow::Item(Control control) const {
  return ::GetDlgItem(window_, kControlIds[static_cast<int>(control)]);
}

void MenuWindow::SetHeading(const std::wstring& text, const HeadingFont& font) {
  HWND heading = ::GetDlgItem(window_, IDC_HEADING);
  if (font.height != 0) {
    headingFont_.reset(::CreateFontW(font.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_DONTCARE, font.face.c_str()));
    if (headingFont_) ::SendMessageW(heading, WM_SETFONT, reinterpret_cast<WPARAM>(headingFont_.get()), FALSE);
  }
  ::SetWindowTextW(heading, text.c_str());
}

void MenuWindow::SetChecked(Control control, bool checked) {
  ::SendMessageW(Item(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MenuWindow::SetEnabled(Control control, bool enabled) { ::EnableWindow(Item(control), enabled); }

bool MenuWindow::Checked(Control control) {
  return ::SendMessageW(Item(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MenuWindow::FillLanguages(const std::vector<std::wstring>& names, int selected) {
  HWND list = Item(Control::LanguageList);
  ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
  for (size_t i = 0; i < names.size(); ++i) {
    const LRESULT at = ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i].c_str()));
    if (at >= 0) ::SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
  }
  ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int MenuWindow::SelectedLanguage() {
  HWND list = Item(Control::LanguageList);
  const LRESULT at = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (at == CB_ERR) return -1;
  return static_cast<int>(::SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
}

void MenuWindow::Close() { ::EndDialog(window_, 1); }

void MenuWindow::DrawLogo(const DRAWITEMSTRUCT& item) {
  if (!logo_) {
    logo_.reset(static_cast<HBITMAP>(
        ::LoadImageW(module_, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  }
  if (!logo_) return;
  BITMAP info{};
  ::GetObjectW(logo_.get(), sizeof info, &info);
  common::win::UniqueMemoryDc memory(::CreateCompatibleDC(item.hDC));
  const HGDIOBJ old = ::SelectObject(memory.get(), logo_.get());
  // At its own size from the control's top-left corner.
  ::BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
  ::SelectObject(memory.get(), old);
}

INT_PTR CALLBACK MenuWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_INITDIALOG) {
      auto* self = reinterpret_cast<MenuWindow*>(lParam);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
      self->window_ = window;
    }
    auto* self = reinterpret_cast<MenuWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : FALSE;
  } catch (const std::exception&) {
    return FALSE;
  }
}

INT_PTR MenuWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      logic_.OnInit(*this);
      return TRUE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != IDC_LOGO) return FALSE;
      DrawLogo(*item);
      return TRUE;
    }
    case WM_COMMAND: {
      const std::optional<Control> control = ControlOf(LOWORD(wParam));
      if (!control) return FALSE;
      const WORD code = HIWORD(wParam);
      if (*control == Control::LanguageList ? code != CBN_SELCHANGE : code != BN_CLICKED) return FALSE;
      logic_.OnCommand(*this, *control);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace setup_menu::win
