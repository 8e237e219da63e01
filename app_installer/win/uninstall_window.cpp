#include "app_installer/win/uninstall_window.h"

#include "app_installer/uninstall_flow.h"
#include "app_installer/win/install_wizard.h"
#include "resources/app_installer/appsetup_ids.h"

namespace appsetup::win {

namespace {

constexpr UINT_PTR kStartTimer = 1;
constexpr UINT kStartDelayMs = 300;

class UninstallWindow final : public UninstallView {
 public:
  explicit UninstallWindow(const UninstallContext& ctx) : ctx_(ctx) {}

  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    try {
      if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<UninstallWindow*>(lparam);
        SetWindowLongPtrA(window, DWLP_USER, lparam);
        self->window_ = window;
        self->OnInit();
        return TRUE;
      }
      auto* self = reinterpret_cast<UninstallWindow*>(GetWindowLongPtrA(window, DWLP_USER));
      if (self == nullptr) return FALSE;
      if (message == WM_TIMER && wparam == kStartTimer) {
        self->OnTimer();
        return TRUE;
      }
      if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        // Closing is possible only once the removal has run (Finish is disabled until then).
        if (self->finished_) EndDialog(window, IDOK);
        return TRUE;
      }
    } catch (...) {
    }
    return FALSE;
  }

  void BringToFront() override { SetForegroundWindow(window_); }
  void SetStatusText(const std::string& text) override {
    SetDlgItemTextA(window_, IDC_UNINSTALL_STATUS, text.c_str());
  }
  void EnableFinish() override {
    finished_ = true;
    HWND finish = GetDlgItem(window_, IDOK);
    EnableWindow(finish, TRUE);
    SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(finish), TRUE);
  }

 private:
  void OnInit() {
    CenterOnScreen(window_);
    SetTimer(window_, kStartTimer, kStartDelayMs, nullptr);
    SetWindowTextA(window_, UninstallCaption(ctx_).c_str());
  }

  void OnTimer() {
    KillTimer(window_, kStartTimer);
    if (started_) return;
    started_ = true;
    RunUninstallWindow(ctx_, *this, reinterpret_cast<WindowRef>(window_));
  }

  const UninstallContext& ctx_;
  HWND window_ = nullptr;
  bool started_ = false;
  bool finished_ = false;
};

}  // namespace

void ShowUninstallWindow(HINSTANCE instance, int dialogBase, const UninstallContext& ctx) {
  UninstallWindow window(ctx);
  DialogBoxParamA(instance, MAKEINTRESOURCEA(dialogBase + IDD_PAGE_UNINSTALL), nullptr,
                  &UninstallWindow::Proc, reinterpret_cast<LPARAM>(&window));
}

}  // namespace appsetup::win
