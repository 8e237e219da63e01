#include "status_monitor/win/sub_form_window.h"

#include "common/win/ansi.h"
#include "status_monitor/win/dpi.h"

namespace monitor::win {

namespace {
constexpr int kFrameId = 2100;
constexpr int kFirstButtonId = 2101;
constexpr int kClientWidth = 7440;   // twips
constexpr int kClientHeight = 4440;
constexpr POINT kFrameAt{120, 120};
constexpr SIZE kFrameSize{7200, 3600};
constexpr int kButtonTop = 3870;
constexpr int kButtonLeft[2] = {4560, 6060};
constexpr SIZE kButtonSize{1260, 375};
}  // namespace

int SubFormWindow::ControlId(Ctl control) {
  if (control.name == "Frame5") return kFrameId;
  if (control.name == "Cmd5" && (control.index == 0 || control.index == 1)) return kFirstButtonId + control.index;
  return SelectorControls::ControlId(control);
}

HWND SubFormWindow::Child(Ctl control) const {
  if (control.name == "SubForm") return window_;
  if (control.name == "Frame5") return frame_;
  if (control.name == "Cmd5" && (control.index == 0 || control.index == 1)) return buttons_[control.index];
  return nullptr;
}

bool SubFormWindow::Create() {
  WNDCLASSEXW wc{sizeof(wc)};
  if (!::GetClassInfoExW(instance_, kWindowClass, &wc)) {
    wc = {sizeof(wc)};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance_;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    wc.lpszClassName = kWindowClass;
    ::RegisterClassExW(&wc);
  }
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  window_ = ::CreateWindowExW(exStyle, kWindowClass, L"", style, 0, 0, 100, 100, owner_, nullptr, instance_, this);
  if (!window_) return false;
  const auto px = [&](int twips) { return TwipsToPixelsX(window_, twips); };
  const auto py = [&](int twips) { return TwipsToPixelsY(window_, twips); };
  RECT frame{0, 0, px(kClientWidth), py(kClientHeight)};
  ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  // Centred over the main window, or the screen when that is hidden.
  RECT over{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (owner_ && ::IsWindowVisible(owner_)) ::GetWindowRect(owner_, &over);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  ::SetWindowPos(window_, nullptr, (over.left + over.right - width) / 2, (over.top + over.bottom - height) / 2, width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);

  frame_ = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, px(kFrameAt.x), py(kFrameAt.y),
                             px(kFrameSize.cx), py(kFrameSize.cy), window_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFrameId)), instance_, nullptr);
  selector_.Create(instance_, window_, window_, kFrameAt, POINT{0, 0});
  for (int i = 0; i < 2; ++i) {
    buttons_[i] = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                                    px(kButtonLeft[i]), py(kButtonTop), px(kButtonSize.cx), py(kButtonSize.cy), window_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + i)), instance_, nullptr);
  }
  return true;
}

void SubFormWindow::ShowModal() {
  if (window_ || !Create()) return;  // one at a time
  SubForm form(*this, selector_, files_, boxes_, other_);
  form_ = &form;
  selector_.Attach(&form.Selector());
  form.Form_Load(common_.Printers().appPath);

  done_ = false;
  const bool ownerWasEnabled = owner_ && !::EnableWindow(owner_, FALSE);
  ::ShowWindow(window_, SW_SHOW);
  ::SetForegroundWindow(window_);
  MSG message;
  while (!done_ && window_) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) ::PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the main loop
      break;
    }
    if (window_ && ::IsDialogMessageW(window_, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  // The owner is enabled before the window goes, so activation returns to it.
  if (ownerWasEnabled) ::EnableWindow(owner_, TRUE);
  if (window_) ::DestroyWindow(window_);
  selector_.Attach(nullptr);
  form_ = nullptr;
  if (owner_ && ::IsWindowVisible(owner_)) ::SetActiveWindow(owner_);
}

void SubFormWindow::SetText(Ctl control, std::string_view text) {
  if (const HWND child = Child(control)) ::SetWindowTextW(child, common::win::AnsiToWide(text).c_str());
}

void SubFormWindow::SetFont(Ctl control, std::string_view name, int points) {
  if (selector_.SetFontName(control, name)) {
    selector_.SetFontSize(control, points);
    return;
  }
  const HWND child = Child(control);
  if (!child || child == window_) return;  // the window's own font is what its controls take
  ::SendMessageW(child, WM_SETFONT,
                 reinterpret_cast<WPARAM>(fonts_.Get(window_, common::win::AnsiToWide(name), points)), TRUE);
}

LRESULT CALLBACK SubFormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<SubFormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<SubFormWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->Handle(window, message, wParam, lParam);
  } catch (...) {
    return ::DefWindowProcW(window, message, wParam, lParam);  // nothing escapes into the dispatcher
  }
}

LRESULT SubFormWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (HIWORD(wParam) == BN_CLICKED && form_ && (id == kFirstButtonId || id == kFirstButtonId + 1)) {
        if (form_->Cmd5_Click(id - kFirstButtonId)) done_ = true;
      } else if (id == IDCANCEL && form_) {  // Escape
        done_ = form_->Cmd5_Click(1);
      }
      return 0;
    }
    case WM_CLOSE:
      done_ = true;
      return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      done_ = true;
      break;
    default: break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace monitor::win
