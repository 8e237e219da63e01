// The menu dialog: one pass of the menu loop, its controls written and read by the portable
// MenuDialog through the MenuView port.
#pragma once

#include <windows.h>

#include "common/win/handles.h"
#include "setup_menu/menu.h"

namespace setup_menu::win {

class MenuWindow final : public MenuView {
 public:
  MenuWindow(HINSTANCE module, MenuDialog& logic) : module_(module), logic_(logic) {}
  // Modal, no owner; returns when the logic has closed it.
  void Run(Language language);

  void SetHeading(const std::wstring& text, const HeadingFont& font) override;
  void SetChecked(Control control, bool checked) override;
  void SetEnabled(Control control, bool enabled) override;
  bool Checked(Control control) override;
  void FillLanguages(const std::vector<std::wstring>& names, int selected) override;
  int SelectedLanguage() override;
  void Close() override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void DrawLogo(const DRAWITEMSTRUCT& item);
  HWND Item(Control control) const;

  HINSTANCE module_;
  MenuDialog& logic_;
  HWND window_ = nullptr;
  common::win::UniqueGdi<HFONT> headingFont_;
  common::win::UniqueGdi<HBITMAP> logo_;
};

// Shows the menu dialog for the portable menu loop.
class Win32Dialog final : public DialogPort {
 public:
  explicit Win32Dialog(HINSTANCE module) : module_(module) {}
  void Show(Language language, MenuDialog& logic) override;

 private:
  HINSTANCE module_;
};

}  // namespace setup_menu::win
