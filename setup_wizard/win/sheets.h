// The wizard's property sheets and the page plumbing they share.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "setup_wizard/setup_app.h"

namespace setup_wizard::win {

// A string of the wizard's string table (empty when absent).
std::wstring LoadText(HINSTANCE module, int id);

// One property page: `this` travels in the page's lParam and is kept in the dialog's user data.
// The dialog procedure is a firewall: nothing thrown inside leaves it.
class PropertyPage {
 public:
  PropertyPage(HINSTANCE module, WizardRun& run, int dialogId) : module_(module), run_(run), dialogId_(dialogId) {}
  virtual ~PropertyPage() = default;
  PropertyPage(const PropertyPage&) = delete;
  PropertyPage& operator=(const PropertyPage&) = delete;

  PROPSHEETPAGEW Describe();

 protected:
  virtual void OnInit() {}
  // Returns the value for DWLP_MSGRESULT.
  virtual LRESULT OnSetActive() { return 0; }
  // Other sheet notifications (Next, Finish, Cancel): true when handled, with the DWLP_MSGRESULT value.
  virtual bool OnNotify(UINT code, LRESULT& result) { return false; }
  virtual void OnCommand(int control, int code) {}
  // Owner-drawn controls other than the logo.
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& item) { return false; }
  // Messages of the page's own (WM_APP and above); true when handled.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) { return false; }
  virtual void OnDestroy() {}
  HWND Window() const { return window_; }
  HWND Sheet() const { return ::GetParent(window_); }
  std::wstring Text(int id) const { return LoadText(module_, id); }
  // Every page puts the run's title back on the sheet when it becomes active.
  void ResetTitle() const;
  void SetButtons(unsigned buttons) const;

  HINSTANCE module_;
  WizardRun& run_;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void DrawLogo(const DRAWITEMSTRUCT& item) const;

  int dialogId_;
  HWND window_ = nullptr;
};

// Beeps, then shows `text` with the stop icon in the foreground, owned by `owner`.
void StopBox(HWND owner, const std::wstring& caption, const std::wstring& text);

enum class CloseBox { Enabled, Disabled };

// A wizard-style sheet of `pages`, owned by `owner` and titled `title`, opening centred over its
// owner (or, when the owner has no area, over the owner's screen); PropertySheetW's result.
INT_PTR RunWizardSheet(HINSTANCE module, HWND owner, const std::wstring& title,
                       const std::vector<PropertyPage*>& pages, CloseBox closeBox = CloseBox::Enabled);

// The installation run: selection wizard, then the progress sheet with its worker (install_wizard.cpp).
int RunInstallation(HINSTANCE module, HWND owner, WizardRun& run);

// The deletion run: selection wizard, then the progress sheet with its worker (uninstall_wizard.cpp).
int RunDeletion(HINSTANCE module, HWND owner, WizardRun& run);

// The selection wizard of the run, owned by `owner`; 1 when it ended with Finish, else 0.
int RunSheets(HINSTANCE module, HWND owner, WizardRun& run);

}  // namespace setup_wizard::win
