#include "app_installer/win/install_wizard.h"

#include <commctrl.h>
#include <shlobj.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app_installer/about_box.h"
#include "app_installer/destination_checks.h"
#include "app_installer/install_flow.h"
#include "app_installer/win/install_adapters.h"
#include "common/win/handles.h"
#include "resources/app_installer/appsetup_ids.h"

namespace appsetup::win {

namespace {

constexpr UINT_PTR kStartTimer = 1;
constexpr UINT kStartDelayMs = 300;

std::string WindowTextOf(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

constexpr DWORD kPumpIntervalMs = 25;

// Handles waiting input and repainting; posted messages (the next step) stay queued, since
// they would otherwise always be taken before input and the page would freeze. At most every
// 25 ms: repainting the progress bar after every small file would cost more than the copy.
void PumpInputAndPaint(HWND sheet) {
  static DWORD last = 0;
  const DWORD now = GetTickCount();
  if (now - last < kPumpIntervalMs) return;
  last = now;
  MSG message;
  for (int i = 0; i < 256 && PeekMessageA(&message, nullptr, 0, 0,
                                          PM_REMOVE | PM_QS_INPUT | PM_QS_PAINT | PM_QS_SENDMESSAGE);
       ++i) {
    if (!PropSheet_IsDialogMessage(sheet, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

// ---- About box ----

AboutTexts ReadAboutTexts() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  std::vector<BYTE> data(size);
  if (size == 0 || !GetFileVersionInfoA(path, 0, size, data.data())) return ComposeAboutTexts({}, {});
  std::vector<Translation> available;
  void* block = nullptr;
  UINT length = 0;
  if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &block, &length)) {
    const WORD* pairs = static_cast<const WORD*>(block);
    for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) available.push_back({pairs[i], pairs[i + 1]});
  }
  const auto lookup = [&](const Translation& t, const std::string& name) -> std::optional<std::string> {
    char query[96];
    wsprintfA(query, "\\StringFileInfo\\%04x%04x\\%s", t.language, t.codePage, name.c_str());
    void* value = nullptr;
    UINT chars = 0;
    if (!VerQueryValueA(data.data(), query, &value, &chars) || value == nullptr) return std::nullopt;
    return std::string(static_cast<const char*>(value));
  };
  return ComposeAboutTexts(TranslationOrder(available, GetUserDefaultLangID()), lookup);
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  try {
    if (message == WM_INITDIALOG) {
      const auto* texts = reinterpret_cast<const AboutTexts*>(lparam);
      CenterOnScreen(dialog);
      SetDlgItemTextA(dialog, IDC_PRODUCT, texts->product.c_str());
      SetDlgItemTextA(dialog, IDC_LEGAL, texts->legal.c_str());
      SetDlgItemTextA(dialog, IDC_COMMENTS, WithCrLf(texts->comments).c_str());
      return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
      EndDialog(dialog, LOWORD(wparam));
      return TRUE;
    }
  } catch (...) {
  }
  return FALSE;
}

// ---- Pages ----

struct Shared {
  HINSTANCE instance;
  int dialogBase;
  const InstallContext& ctx;
  WinDisk& disk;
};

class Page {
 public:
  explicit Page(Shared& shared) : shared_(shared) {}
  virtual ~Page() = default;
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

 protected:
  virtual INT_PTR OnInit() { return TRUE; }
  virtual INT_PTR OnCommand(WORD id) { return FALSE; }
  virtual INT_PTR OnNotify(const NMHDR& header) { return FALSE; }
  virtual INT_PTR OnTimer(UINT_PTR id) { return FALSE; }

  HWND Sheet() const { return GetParent(window_); }
  WindowRef Owner() const { return reinterpret_cast<WindowRef>(Sheet()); }
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  INT_PTR Result(LONG_PTR value) {
    SetWindowLongPtrA(window_, DWLP_MSGRESULT, value);
    return TRUE;
  }
  const InstallContext& Context() const { return shared_.ctx; }

  Shared& shared_;
  HWND window_ = nullptr;
};

INT_PTR CALLBACK Page::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  try {
    Page* page = nullptr;
    if (message == WM_INITDIALOG) {
      page = reinterpret_cast<Page*>(reinterpret_cast<const PROPSHEETPAGEA*>(lparam)->lParam);
      SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
      page->window_ = window;
      return page->OnInit();
    }
    page = reinterpret_cast<Page*>(GetWindowLongPtrA(window, DWLP_USER));
    if (page == nullptr) return FALSE;
    switch (message) {
      case WM_COMMAND:
        return page->OnCommand(LOWORD(wparam));
      case WM_NOTIFY:
        return page->OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
      case WM_TIMER:
        return page->OnTimer(wparam);
      default:
        return FALSE;
    }
  } catch (...) {
    return FALSE;
  }
}

class DestinationPage final : public Page {
 public:
  using Page::Page;

 private:
  INT_PTR OnInit() override {
    const InstallerState& state = Context().state;
    CenterOnScreen(Sheet());
    SetDlgItemTextA(window_, IDC_PROMPT, Context().messages.Format(msg::kDestinationPrompt, {state.title}).c_str());
    SetWindowTextA(Sheet(), Context().messages.Format(msg::kInstallCaption, {state.title}).c_str());
    SendMessageA(Item(IDC_FOLDER), EM_LIMITTEXT, kMaxPathChars, 0);
    return TRUE;
  }

  INT_PTR OnCommand(WORD id) override {
    if (id == IDC_BROWSE) {
      Browse();
      return TRUE;
    }
    if (id == IDC_ABOUT) {
      AboutTexts texts = ReadAboutTexts();
      DialogBoxParamA(shared_.instance, MAKEINTRESOURCEA(shared_.dialogBase + IDD_PAGE_ABOUT), Sheet(),
                      AboutProc, reinterpret_cast<LPARAM>(&texts));
      return TRUE;
    }
    return FALSE;
  }

  INT_PTR OnNotify(const NMHDR& header) override {
    switch (header.code) {
      case PSN_SETACTIVE:
        PropSheet_SetWizButtons(Sheet(), PSWIZB_NEXT);
        SetDlgItemTextA(window_, IDC_FOLDER, Context().state.installationFolder.c_str());
        return Result(0);
      case PSN_WIZNEXT:
        switch (AcceptDestination(Context(), Owner(), WindowTextOf(Item(IDC_FOLDER)))) {
          case DestinationOutcome::Refused:
            return Result(-1);
          case DestinationOutcome::CopyingPage:
            return Result(shared_.dialogBase + IDD_PAGE_COPYING);
          case DestinationOutcome::OptionsPage:
            return Result(0);
        }
        return Result(-1);
      default:
        return FALSE;
    }
  }

  static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) noexcept {
    if (message == BFFM_INITIALIZED) SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
  }

  void Browse() {
    common::win::ComInit com;
    const std::string full = Context().ports.files.FullPath(WindowTextOf(Item(IDC_FOLDER)));
    char display[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = Sheet();
    info.pszDisplayName = display;
    info.lpszTitle = full.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = &DestinationPage::BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(full.c_str());
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (chosen == nullptr) return;
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDListA(chosen, path)) SetDlgItemTextA(window_, IDC_FOLDER, path);
    CoTaskMemFree(chosen);
  }
};

class OptionsPage final : public Page {
 public:
  using Page::Page;

 private:
  INT_PTR OnInit() override {
    CheckDlgButton(window_, IDC_START_MENU, BST_CHECKED);
    const MenuFolderList list = BuildMenuFolderList(Context());
    HWND combo = Item(IDC_MENU_LIST);
    for (const std::string& folder : list.folders) {
      SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    }
    const LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(list.selection.c_str()));
    if (index != CB_ERR) {
      SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else {
      SetWindowTextA(combo, list.selection.c_str());
    }
    return TRUE;
  }

  INT_PTR OnNotify(const NMHDR& header) override {
    switch (header.code) {
      case PSN_SETACTIVE:
        PropSheet_SetWizButtons(Sheet(), PSWIZB_BACK | PSWIZB_NEXT);
        return Result(0);
      case PSN_WIZNEXT: {
        const bool ok = AcceptOptions(Context(), Owner(), IsDlgButtonChecked(window_, IDC_START_MENU) == BST_CHECKED,
                                      IsDlgButtonChecked(window_, IDC_DESKTOP) == BST_CHECKED,
                                      WindowTextOf(Item(IDC_MENU_LIST)));
        return Result(ok ? 0 : -1);
      }
      default:
        return FALSE;
    }
  }
};

class CopyingPage final : public Page, public CopyingView {
 public:
  using Page::Page;

 private:
  INT_PTR OnInit() override {
    DisableCancel();
    sequence_ = std::make_unique<CopyingSequence>(Context(), *this, Owner());
    HWND sheet = Sheet();
    shared_.disk.SetPump([sheet] { PumpInputAndPaint(sheet); });
    return TRUE;
  }

  void DisableCancel() { EnableWindow(GetDlgItem(Sheet(), IDCANCEL), FALSE); }

  INT_PTR OnNotify(const NMHDR& header) override {
    switch (header.code) {
      case PSN_SETACTIVE:
        PropSheet_SetWizButtons(Sheet(), 0);
        DisableCancel();
        if (!started_) {
          started_ = true;
          SetTimer(window_, kStartTimer, kStartDelayMs, nullptr);
        }
        return Result(0);
      case PSN_QUERYCANCEL:
        return Result(Context().state.completed ? FALSE : TRUE);
      case PSN_WIZBACK:
        return Result(-1);
      case PSN_WIZFINISH: {
        InstallerState& state = Context().state;
        SetCurrentDirectoryA(state.installationFolder.c_str());
        state.documentToOpen = Context().ports.profile.ReadString(state.infoFilePath, kInstallSection, "Open");
        return Result(0);
      }
      default:
        return FALSE;
    }
  }

  INT_PTR OnTimer(UINT_PTR id) override {
    if (id != kStartTimer) return FALSE;
    KillTimer(window_, kStartTimer);
    PostNextStep();
    return TRUE;
  }

  INT_PTR OnCommand(WORD id) override {
    if (id != IDC_NEXT_STEP) return FALSE;
    PumpInputAndPaint(Sheet());
    if (sequence_->RunStep()) PostNextStep();
    return TRUE;
  }

  void PostNextStep() { PostMessageA(window_, WM_COMMAND, IDC_NEXT_STEP, 0); }

  // CopyingView
  void SetProgressRange(int maximum) override {
    progressMaximum_ = maximum;
    SendMessageA(Item(IDC_PROGRESS), PBM_SETRANGE32, 0, maximum);
  }
  // The bar is redrawn at once on every change, which costs more than copying a small file, so
  // it is moved at most every 25 ms and at the end.
  void AdvanceProgress() override {
    ++progress_;
    const DWORD now = GetTickCount();
    if (progress_ < progressMaximum_ && now - progressShownAt_ < kPumpIntervalMs) return;
    progressShownAt_ = now;
    SendMessageA(Item(IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(progress_), 0);
  }
  void HideProgress() override { ShowWindow(Item(IDC_PROGRESS), SW_HIDE); }
  void SetStatusText(const std::string& text) override { SetDlgItemTextA(window_, IDC_STATUS, text.c_str()); }
  void SetNoteText(const std::string& text) override { SetDlgItemTextA(window_, IDC_COPY_NOTE, text.c_str()); }
  void ShowNote() override { ShowWindow(Item(IDC_COPY_NOTE), SW_SHOW); }
  void EnableOnlyFinish() override {
    shared_.disk.SetPump({});
    PropSheet_SetWizButtons(Sheet(), PSWIZB_FINISH);
    DisableCancel();
  }

  std::unique_ptr<CopyingSequence> sequence_;
  bool started_ = false;
  int progress_ = 0;
  int progressMaximum_ = 0;
  DWORD progressShownAt_ = 0;
};

}  // namespace

void CenterOnScreen(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

int DialogBaseOf(Language language) {
  switch (language) {
    case Language::Japanese:
      return IDD_BASE_JAPANESE;
    case Language::TraditionalChinese:
      return IDD_BASE_CHINESE;
    case Language::English:
      break;
  }
  return IDD_BASE_ENGLISH;
}

void RunInstallWizard(HINSTANCE instance, int dialogBase, const InstallContext& ctx, WinDisk& disk) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  Shared shared{instance, dialogBase, ctx, disk};
  DestinationPage destination(shared);
  OptionsPage options(shared);
  CopyingPage copying(shared);
  // Each page carries the caption, so the sheet keeps it from page to page.
  const std::string caption = ctx.messages.Format(msg::kInstallCaption, {ctx.state.title});
  const std::array<Page*, 3> pages{&destination, &options, &copying};
  std::array<PROPSHEETPAGEA, 3> sheets{};
  for (size_t i = 0; i < pages.size(); ++i) {
    PROPSHEETPAGEA& page = sheets[i];
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_USETITLE;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEA(dialogBase + static_cast<int>(i));
    page.pszTitle = caption.c_str();
    page.pfnDlgProc = &Page::Proc;
    page.lParam = reinterpret_cast<LPARAM>(pages[i]);
  }
  PROPSHEETHEADERA header{};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_WIZARD | PSH_NOAPPLYNOW | PSH_PROPSHEETPAGE;
  header.hwndParent = nullptr;
  header.hInstance = instance;
  header.pszCaption = caption.c_str();
  header.nPages = static_cast<UINT>(sheets.size());
  header.nStartPage = 0;
  header.ppsp = sheets.data();
  PropertySheetA(&header);
  disk.SetPump({});
}

}  // namespace appsetup::win
