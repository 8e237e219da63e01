#include "status_monitor/win/selector_controls.h"

#include <algorithm>

#include "common/win/ansi.h"
#include "status_monitor/win/dpi.h"

namespace monitor::win {

namespace {

constexpr wchar_t kHostClass[] = L"TPX800FileSelector";
constexpr int kFirstId = 2000;

// The controls' names per instance, in part order.
constexpr std::string_view kNames[2][5] = {{"Drive4", "Dir4", "HScroll4", "File4", "Text4"},
                                           {"Drive5", "Dir5", "HScroll5", "File5", "Text5"}};

// Where the host lies in its frame, and each part in the host (twips).
constexpr RECT kHost{120, 240, 7020, 3420};  // left, top, right, bottom, relative to the frame
struct Place {
  int x, y, width, height;
};
constexpr Place kPlaces[5] = {
    {60, 60, 2100, 1800},     // drive list (with its drop-down)
    {60, 480, 2100, 1980},    // directory list's visible area
    {60, 2460, 2100, 255},    // scroll bar
    {2340, 60, 4500, 2655},   // file list
    {60, 2820, 6780, 315},    // path field
};

}  // namespace

int SelectorControls::ControlId(Ctl control) {
  for (int set = 0; set < 2; ++set) {
    for (int part = 0; part < kPartCount; ++part) {
      if (control.index < 0 && control.name == kNames[set][part]) return kFirstId + set * 10 + part;
    }
  }
  return 0;
}

int SelectorControls::PartOf(Ctl control) const {
  for (int part = 0; part < kPartCount; ++part) {
    if (control.index < 0 && control.name == kNames[instance_ - 4][part]) return part;
  }
  return -1;
}

void SelectorControls::Create(HINSTANCE instance, HWND parent, HWND dpiWindow, POINT frameTwips, POINT originPixels) {
  dpiWindow_ = dpiWindow;
  WNDCLASSEXW wc{sizeof(wc)};
  if (!::GetClassInfoExW(instance, kHostClass, &wc)) {
    wc = {sizeof(wc)};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    wc.lpszClassName = kHostClass;
    ::RegisterClassExW(&wc);
  }
  const auto px = [&](int twips) { return TwipsToPixelsX(dpiWindow, twips); };
  const auto py = [&](int twips) { return TwipsToPixelsY(dpiWindow, twips); };
  host_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kHostClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                            px(frameTwips.x + kHost.left) - originPixels.x, py(frameTwips.y + kHost.top) - originPixels.y,
                            px(kHost.right - kHost.left), py(kHost.bottom - kHost.top), parent, nullptr, instance, nullptr);
  ::SetWindowLongPtrW(host_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

  const Place& dir = kPlaces[kDir];
  clip_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kHostClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, px(dir.x),
                            py(dir.y), px(dir.width), py(dir.height), host_, nullptr, instance, nullptr);
  struct Kind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
  };
  const Kind kinds[kPartCount] = {
      {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
      {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0},
      {L"SCROLLBAR", SBS_HORZ | WS_TABSTOP, 0},
      {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0},
      {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
  };
  for (int part = 0; part < kPartCount; ++part) {
    const Place& place = kPlaces[part];
    const bool inClip = part == kDir;
    parts_[part] = ::CreateWindowExW(
        kinds[part].exStyle, kinds[part].className, L"", WS_CHILD | WS_VISIBLE | kinds[part].style,
        inClip ? 0 : px(place.x), inClip ? 0 : py(place.y), px(place.width), py(place.height), inClip ? clip_ : host_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + (instance_ - 4) * 10 + part)), instance, nullptr);
    ApplyFont(part);
  }
}

bool SelectorControls::SetFontName(Ctl control, std::string_view name) {
  const int part = PartOf(control);
  if (part < 0) return false;
  fontNames_[part] = common::win::AnsiToWide(name);
  ApplyFont(part);
  return true;
}

bool SelectorControls::SetFontSize(Ctl control, int points) {
  const int part = PartOf(control);
  if (part < 0) return false;
  fontSizes_[part] = points;
  ApplyFont(part);
  return true;
}

void SelectorControls::ApplyFont(int part) {
  if (!parts_[part]) return;
  const std::wstring name = fontNames_[part].empty() ? L"MS Shell Dlg" : fontNames_[part];
  ::SendMessageW(parts_[part], WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(dpiWindow_, name, fontSizes_[part])),
                 TRUE);
}

// --- SelectorView ---------------------------------------------------------------------------------

namespace {
void FillList(HWND list, bool combo, const std::vector<std::wstring>& items, int selected) {
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(list, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  for (const std::wstring& item : items) {
    ::SendMessageW(list, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  ::SendMessageW(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}
}  // namespace

void SelectorControls::SetDriveList(const std::vector<std::wstring>& items, int selected) {
  FillList(parts_[kDrive], true, items, selected);
}

void SelectorControls::SetDirectoryList(const std::vector<std::wstring>& items, int selected) {
  FillList(parts_[kDir], false, items, selected);
}

void SelectorControls::SetFileList(const std::vector<std::wstring>& items, int selected) {
  FillList(parts_[kFile], false, items, selected);
}

void SelectorControls::SetDirectoryPlacement(int leftTwips, int widthTwips) {
  ::MoveWindow(parts_[kDir], TwipsToPixelsX(dpiWindow_, leftTwips), 0, TwipsToPixelsX(dpiWindow_, widthTwips),
               TwipsToPixelsY(dpiWindow_, kPlaces[kDir].height), TRUE);
}

void SelectorControls::SetScrollBar(int maximum, int value) {
  ::SetScrollRange(parts_[kScroll], SB_CTL, 0, maximum, FALSE);
  ::SetScrollPos(parts_[kScroll], SB_CTL, value, TRUE);
}

void SelectorControls::SetPathText(const std::wstring& text) { ::SetWindowTextW(parts_[kText], text.c_str()); }

std::wstring SelectorControls::PathText() {
  const int length = ::GetWindowTextLengthW(parts_[kText]);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(parts_[kText], text.data(), length + 1)));
  return text;
}

// --- Notifications --------------------------------------------------------------------------------

LRESULT CALLBACK SelectorControls::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<SelectorControls*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) {
    // The directory list's clipping window passes the list's notifications up to the host.
    if (message == WM_COMMAND || message == WM_CTLCOLORLISTBOX) {
      return ::SendMessageW(::GetParent(window), message, wParam, lParam);
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    return ::DefWindowProcW(window, message, wParam, lParam);  // nothing escapes into the dispatcher
  }
}

LRESULT SelectorControls::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && logic_) {
    const auto source = reinterpret_cast<HWND>(lParam);
    const int selected = static_cast<int>(
        ::SendMessageW(source, source == parts_[kDrive] ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
    if (source == parts_[kDrive] && HIWORD(wParam) == CBN_SELCHANGE) logic_->Drive_Change(selected);
    if (source == parts_[kDir] && HIWORD(wParam) == LBN_DBLCLK) logic_->Dir_Open(selected);
    if (source == parts_[kFile] && HIWORD(wParam) == LBN_SELCHANGE) logic_->File_Click(selected);
    return 0;
  }
  if (message == WM_HSCROLL && reinterpret_cast<HWND>(lParam) == parts_[kScroll]) {
    OnScroll(wParam);
    return 0;
  }
  return ::DefWindowProcW(host_, message, wParam, lParam);
}

void SelectorControls::OnScroll(WPARAM wParam) {
  HWND bar = parts_[kScroll];
  int low = 0;
  int high = 0;
  ::GetScrollRange(bar, SB_CTL, &low, &high);
  int value = ::GetScrollPos(bar, SB_CTL);
  switch (LOWORD(wParam)) {
    case SB_LINELEFT: --value; break;
    case SB_LINERIGHT: ++value; break;
    case SB_PAGELEFT: value -= 2; break;
    case SB_PAGERIGHT: value += 2; break;
    case SB_LEFT: value = low; break;
    case SB_RIGHT: value = high; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: value = HIWORD(wParam); break;
    default: return;
  }
  value = std::clamp(value, low, high);
  ::SetScrollPos(bar, SB_CTL, value, TRUE);
  if (logic_) logic_->HScroll_Change(value);
}

}  // namespace monitor::win
