#include "status_monitor/win/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "common/win/ansi.h"
#include "common/win_path.h"
#include "status_monitor/condition_set.h"
#include "status_monitor/texts.h"
#include "status_monitor/win/dpi.h"

namespace monitor::win {

namespace {

constexpr UINT_PTR kTimer1Id = 1;
constexpr UINT_PTR kTimer2Id = 2;
constexpr UINT kIconId = 0;
// A control whose drawn boxes changed since the last look: lParam is the control.
constexpr UINT kFlushDrawingMessage = WM_APP + 2;
constexpr UINT kMenuOpenId = 40000;
constexpr UINT kMenuVersionId = 40002;
constexpr int kFirstControlId = 1000;
constexpr wchar_t kPageClass[] = L"TPX800StatusMonitorPage";

// A page of the tab control: the parent of its controls, painting the face colour behind them and
// passing their notifications on to the main window.
LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return ::SendMessageW(::GetParent(page), message, wParam, lParam);
    default:
      return ::DefWindowProcW(page, message, wParam, lParam);
  }
}

enum class Kind { Frame, Label, Button, Combo, Picture, Tab, Option, Check, Scroll };

// The window's design: every control with its page (-1: on every page), its container (positions are
// relative to it) and its place in twips.
struct Design {
  Ctl control;
  Kind kind;
  int page;
  Ctl container;
  int x, y, width, height;
};

constexpr Ctl kNoContainer{};
constexpr int kClientWidth = 9360;
constexpr int kClientHeight = 7080;

constexpr Design kDesign[] = {
    {{"SSTab1"}, Kind::Tab, -1, kNoContainer, 120, 120, 9120, 6240},
    {{"Cmdm"}, Kind::Button, -1, kNoContainer, 7800, 6510, 1440, 420},
    // Page 0, "Printer Status".
    {{"Pic0", 0}, Kind::Picture, 0, kNoContainer, 300, 540, 2880, 660},
    {{"Frame0", 8}, Kind::Frame, 0, kNoContainer, 3900, 480, 5160, 1200},
    {{"Label0_8"}, Kind::Label, 0, {"Frame0", 8}, 180, 330, 900, 270},
    {{"Combo0"}, Kind::Combo, 0, {"Frame0", 8}, 1140, 270, 1080, 1800},
    {{"Cmd0", 1}, Kind::Button, 0, {"Frame0", 8}, 3720, 240, 1260, 375},
    {{"Label0_9"}, Kind::Label, 0, {"Frame0", 8}, 180, 780, 2400, 270},
    {{"Cmd0", 0}, Kind::Button, 0, {"Frame0", 8}, 3720, 720, 1260, 375},
    {{"Frame0", 0}, Kind::Frame, 0, kNoContainer, 300, 1740, 8760, 1500},
    {{"WebBrowser1"}, Kind::Picture, 0, {"Frame0", 0}, 180, 240, 1140, 1140},
    {{"Label0_1"}, Kind::Label, 0, {"Frame0", 0}, 1500, 600, 7080, 360},
    {{"Frame0", 1}, Kind::Frame, 0, kNoContainer, 300, 3300, 8760, 2940},
    {{"Frame0", 2}, Kind::Frame, 0, {"Frame0", 1}, 180, 270, 2160, 1500},
    {{"Pic0", 1}, Kind::Picture, 0, {"Frame0", 2}, 300, 300, 1560, 1080},
    {{"Frame0", 3}, Kind::Frame, 0, {"Frame0", 1}, 2460, 270, 2640, 1500},
    {{"Pic0", 2}, Kind::Picture, 0, {"Frame0", 3}, 180, 480, 1800, 375},
    {{"Label0_2", 0}, Kind::Label, 0, {"Frame0", 3}, 2040, 530, 480, 270},
    {{"Frame0", 4}, Kind::Frame, 0, {"Frame0", 1}, 5220, 270, 3360, 1500},
    {{"Pic0", 3}, Kind::Picture, 0, {"Frame0", 4}, 180, 270, 2400, 480},
    {{"Label0_3", 0}, Kind::Label, 0, {"Frame0", 4}, 180, 840, 1800, 255},
    {{"Label0_3", 1}, Kind::Label, 0, {"Frame0", 4}, 2040, 840, 1140, 255},
    {{"Label0_4", 0}, Kind::Label, 0, {"Frame0", 4}, 180, 1140, 1080, 255},
    {{"Label0_4", 1}, Kind::Label, 0, {"Frame0", 4}, 1260, 1140, 2000, 255},
    {{"Frame0", 5}, Kind::Frame, 0, {"Frame0", 1}, 180, 1890, 2760, 840},
    {{"Label0_5"}, Kind::Label, 0, {"Frame0", 5}, 180, 360, 2400, 255},
    {{"Frame0", 6}, Kind::Frame, 0, {"Frame0", 1}, 3060, 1890, 2760, 840},
    {{"Label0_6"}, Kind::Label, 0, {"Frame0", 6}, 180, 360, 2400, 255},
    {{"Frame0", 7}, Kind::Frame, 0, {"Frame0", 1}, 5940, 1890, 2640, 840},
    {{"Label0_7"}, Kind::Label, 0, {"Frame0", 7}, 180, 360, 2280, 255},
    // Page 1, "Printer Setting": six sliders with their end texts and shown values, mode options,
    // the coercivity group inside "MAG", and the two buttons.
    {{"Frame1", 0}, Kind::Frame, 1, kNoContainer, 300, 480, 8760, 5100},
    {{"Frame1", 1}, Kind::Frame, 1, {"Frame1", 0}, 180, 240, 4140, 840},
    {{"Label1_1", 0}, Kind::Label, 1, {"Frame1", 1}, 120, 330, 540, 255},
    {{"HScroll1", 0}, Kind::Scroll, 1, {"Frame1", 1}, 690, 300, 2460, 255},
    {{"Label1_2", 0}, Kind::Label, 1, {"Frame1", 1}, 3240, 330, 780, 255},
    {{"Label1_3", 0}, Kind::Label, 1, {"Frame1", 1}, 1740, 570, 600, 240},
    {{"Frame1", 2}, Kind::Frame, 1, {"Frame1", 0}, 4440, 240, 4140, 840},
    {{"Opt1_1", 0}, Kind::Option, 1, {"Frame1", 2}, 360, 360, 1560, 300},
    {{"Opt1_1", 1}, Kind::Option, 1, {"Frame1", 2}, 2160, 360, 1560, 300},
    {{"Frame1", 3}, Kind::Frame, 1, {"Frame1", 0}, 180, 1140, 4140, 840},
    {{"Label1_1", 1}, Kind::Label, 1, {"Frame1", 3}, 120, 330, 540, 255},
    {{"HScroll1", 1}, Kind::Scroll, 1, {"Frame1", 3}, 690, 300, 2460, 255},
    {{"Label1_2", 1}, Kind::Label, 1, {"Frame1", 3}, 3240, 330, 780, 255},
    {{"Label1_3", 1}, Kind::Label, 1, {"Frame1", 3}, 1740, 570, 600, 240},
    {{"Frame1", 4}, Kind::Frame, 1, {"Frame1", 0}, 4440, 1140, 4140, 840},
    {{"Opt1_2", 0}, Kind::Option, 1, {"Frame1", 4}, 360, 360, 1560, 300},
    {{"Opt1_2", 1}, Kind::Option, 1, {"Frame1", 4}, 2160, 360, 1560, 300},
    {{"Frame1", 5}, Kind::Frame, 1, {"Frame1", 0}, 180, 2040, 4140, 840},
    {{"Label1_1", 2}, Kind::Label, 1, {"Frame1", 5}, 120, 330, 540, 255},
    {{"HScroll1", 2}, Kind::Scroll, 1, {"Frame1", 5}, 690, 300, 2460, 255},
    {{"Label1_2", 2}, Kind::Label, 1, {"Frame1", 5}, 3240, 330, 780, 255},
    {{"Label1_3", 2}, Kind::Label, 1, {"Frame1", 5}, 1740, 570, 600, 240},
    {{"Frame1", 6}, Kind::Frame, 1, {"Frame1", 0}, 4440, 2040, 4140, 2940},
    {{"Frame1", 7}, Kind::Frame, 1, {"Frame1", 6}, 120, 270, 3900, 840},
    {{"Label1_1", 3}, Kind::Label, 1, {"Frame1", 7}, 120, 330, 540, 255},
    {{"HScroll1", 3}, Kind::Scroll, 1, {"Frame1", 7}, 690, 300, 2460, 255},
    {{"Label1_2", 3}, Kind::Label, 1, {"Frame1", 7}, 3240, 330, 600, 255},
    {{"Label1_3", 3}, Kind::Label, 1, {"Frame1", 7}, 1740, 570, 600, 240},
    {{"Frame1", 8}, Kind::Frame, 1, {"Frame1", 6}, 120, 1200, 3900, 840},
    {{"Opt1_3", 0}, Kind::Option, 1, {"Frame1", 8}, 120, 360, 240, 300},
    {{"Opt1_3", 1}, Kind::Option, 1, {"Frame1", 8}, 360, 360, 1560, 300},
    {{"Opt1_3", 2}, Kind::Option, 1, {"Frame1", 8}, 2160, 360, 1560, 300},
    {{"Frame1", 10}, Kind::Frame, 1, {"Frame1", 0}, 180, 2940, 4140, 2040},
    {{"Frame1", 11}, Kind::Frame, 1, {"Frame1", 10}, 120, 270, 3900, 840},
    {{"Label1_1", 4}, Kind::Label, 1, {"Frame1", 11}, 120, 330, 540, 255},
    {{"HScroll1", 4}, Kind::Scroll, 1, {"Frame1", 11}, 690, 300, 2460, 255},
    {{"Label1_2", 4}, Kind::Label, 1, {"Frame1", 11}, 3240, 330, 600, 255},
    {{"Label1_3", 4}, Kind::Label, 1, {"Frame1", 11}, 1740, 570, 600, 240},
    {{"Frame1", 12}, Kind::Frame, 1, {"Frame1", 10}, 120, 1140, 3900, 840},
    {{"Label1_1", 5}, Kind::Label, 1, {"Frame1", 12}, 120, 330, 540, 255},
    {{"HScroll1", 5}, Kind::Scroll, 1, {"Frame1", 12}, 690, 300, 2460, 255},
    {{"Label1_2", 5}, Kind::Label, 1, {"Frame1", 12}, 3240, 330, 600, 255},
    {{"Label1_3", 5}, Kind::Label, 1, {"Frame1", 12}, 1740, 570, 600, 240},
    {{"Frame1", 9}, Kind::Frame, 1, kNoContainer, 300, 5580, 8760, 660},
    {{"Cmd1", 0}, Kind::Button, 1, {"Frame1", 9}, 5580, 195, 1440, 375},
    {{"Cmd1", 1}, Kind::Button, 1, {"Frame1", 9}, 7140, 195, 1440, 375},
    // Page 2, "Media Status".
    {{"Frame2", 0}, Kind::Frame, 2, kNoContainer, 300, 480, 8760, 1560},
    {{"Opt2", 0}, Kind::Option, 2, {"Frame2", 0}, 240, 300, 1800, 300},
    {{"Opt2", 1}, Kind::Option, 2, {"Frame2", 0}, 2280, 300, 1800, 300},
    {{"Opt2", 2}, Kind::Option, 2, {"Frame2", 0}, 4320, 300, 1800, 300},
    {{"Label2", 8}, Kind::Label, 2, {"Frame2", 0}, 240, 720, 8280, 720},
    {{"Frame2", 1}, Kind::Frame, 2, kNoContainer, 300, 2160, 2760, 720},
    {{"Label2", 0}, Kind::Label, 2, {"Frame2", 1}, 180, 330, 2400, 255},
    {{"Frame2", 2}, Kind::Frame, 2, kNoContainer, 3180, 2160, 5880, 720},
    {{"Label2", 1}, Kind::Label, 2, {"Frame2", 2}, 180, 330, 5520, 255},
    {{"Frame2", 3}, Kind::Frame, 2, kNoContainer, 300, 3000, 2820, 720},
    {{"Label2", 2}, Kind::Label, 2, {"Frame2", 3}, 180, 330, 2460, 255},
    {{"Frame2", 4}, Kind::Frame, 2, kNoContainer, 3270, 3000, 2820, 720},
    {{"Label2", 3}, Kind::Label, 2, {"Frame2", 4}, 180, 330, 2460, 255},
    {{"Frame2", 5}, Kind::Frame, 2, kNoContainer, 6240, 3000, 2820, 720},
    {{"Label2", 4}, Kind::Label, 2, {"Frame2", 5}, 180, 330, 2460, 255},
    {{"Frame2", 6}, Kind::Frame, 2, kNoContainer, 300, 3840, 2820, 720},
    {{"Label2", 5}, Kind::Label, 2, {"Frame2", 6}, 180, 330, 480, 255},
    {{"Label2", 7}, Kind::Label, 2, {"Frame2", 6}, 690, 330, 300, 255},
    {{"Frame2", 7}, Kind::Frame, 2, kNoContainer, 3270, 3840, 2820, 720},
    {{"Label2", 6}, Kind::Label, 2, {"Frame2", 7}, 180, 330, 2460, 255},
    // Page 3, "Printer Property".
    {{"Frame3", 0}, Kind::Frame, 3, kNoContainer, 300, 480, 2820, 660},
    {{"Label3", 0}, Kind::Label, 3, {"Frame3", 0}, 180, 300, 2460, 255},
    {{"Frame3", 1}, Kind::Frame, 3, kNoContainer, 3270, 480, 2820, 660},
    {{"Label3", 1}, Kind::Label, 3, {"Frame3", 1}, 180, 300, 2460, 255},
    {{"Frame3", 2}, Kind::Frame, 3, kNoContainer, 6240, 480, 2820, 660},
    {{"Label3", 2}, Kind::Label, 3, {"Frame3", 2}, 180, 300, 2460, 255},
    {{"Frame3", 3}, Kind::Frame, 3, kNoContainer, 300, 1260, 2820, 660},
    {{"Label3", 3}, Kind::Label, 3, {"Frame3", 3}, 180, 300, 2460, 255},
    {{"Frame3", 4}, Kind::Frame, 3, kNoContainer, 3270, 1260, 2820, 660},
    {{"Label3", 4}, Kind::Label, 3, {"Frame3", 4}, 180, 300, 2460, 255},
    {{"Frame3", 5}, Kind::Frame, 3, kNoContainer, 6240, 1260, 2820, 660},
    {{"Label3", 5}, Kind::Label, 3, {"Frame3", 5}, 180, 300, 2460, 255},
    {{"Frame3", 6}, Kind::Frame, 3, kNoContainer, 300, 2040, 2820, 660},
    {{"Label3", 6}, Kind::Label, 3, {"Frame3", 6}, 180, 300, 2460, 255},
    {{"Frame3", 8}, Kind::Frame, 3, kNoContainer, 3270, 2040, 5790, 660},
    {{"Label3", 7}, Kind::Label, 3, {"Frame3", 8}, 180, 300, 5430, 255},
    {{"Frame3", 7}, Kind::Frame, 3, kNoContainer, 300, 2820, 8760, 1260},
    {{"Check3", 0}, Kind::Check, 3, {"Frame3", 7}, 240, 330, 2760, 300},
    {{"Check3", 1}, Kind::Check, 3, {"Frame3", 7}, 3120, 330, 2760, 300},
    {{"Check3", 2}, Kind::Check, 3, {"Frame3", 7}, 6000, 330, 2640, 300},
    {{"Check3", 3}, Kind::Check, 3, {"Frame3", 7}, 240, 780, 2760, 300},
    {{"Check3", 4}, Kind::Check, 3, {"Frame3", 7}, 3120, 780, 2760, 300},
    {{"Check3", 5}, Kind::Check, 3, {"Frame3", 7}, 6000, 780, 2640, 300},
    // Page 4, "Others"; the firmware file selector lies in Frame4(2) (SelectorControls).
    {{"Frame4", 0}, Kind::Frame, 4, kNoContainer, 300, 540, 4200, 900},
    {{"Label4_1"}, Kind::Label, 4, {"Frame4", 0}, 240, 390, 2160, 270},
    {{"Cmd4", 0}, Kind::Button, 4, {"Frame4", 0}, 2760, 330, 1260, 375},
    {{"Frame4", 1}, Kind::Frame, 4, kNoContainer, 4680, 540, 4380, 900},
    {{"Opt4", 0}, Kind::Option, 4, {"Frame4", 1}, 180, 360, 1440, 300},
    {{"Opt4", 1}, Kind::Option, 4, {"Frame4", 1}, 1620, 360, 1440, 300},
    {{"Cmd4", 1}, Kind::Button, 4, {"Frame4", 1}, 3000, 330, 1260, 375},
    {{"Frame4", 2}, Kind::Frame, 4, kNoContainer, 300, 1560, 8760, 3600},
    {{"Cmd4", 2}, Kind::Button, 4, {"Frame4", 2}, 7260, 3060, 1260, 375},
    {{"Frame4", 3}, Kind::Frame, 4, kNoContainer, 300, 5220, 8760, 1020},
    {{"Label4_2", 0}, Kind::Label, 4, {"Frame4", 3}, 240, 180, 8280, 255},
    {{"Label4_2", 1}, Kind::Label, 4, {"Frame4", 3}, 240, 435, 8280, 255},
    {{"Label4_2", 2}, Kind::Label, 4, {"Frame4", 3}, 240, 690, 8280, 255},
};

struct DrawnBox {
  RECT rect;
  Color color;
  friend bool operator==(const DrawnBox& a, const DrawnBox& b) {
    return ::EqualRect(&a.rect, &b.rect) && a.color == b.color;
  }
};

}  // namespace

// One control: its design, its window and what the logic set on it.
struct MainWindow::Control {
  const Design* design;
  HWND window = nullptr;
  int x = 0, y = 0, width = 0, height = 0;  // twips, relative to the client area; Place keeps y
  int top = 0;                               // twips, relative to the container (or the client area)
  bool hasForeColor = false;
  Color foreColor = 0;
  bool hasBackColor = false;
  Color backColor = 0;
  std::wstring fontName = L"MS Shell Dlg";
  int fontSize = 8;
  // What the window shows, so a write that changes nothing costs nothing: the text as last set,
  // the control's own visibility (it shows only while its containers do too), and the drawn
  // boxes of a picture with the ones asked for since (applied once the current event is handled).
  std::string text;
  bool textKnown = true;  // false once a list operation changed a combo box's text
  bool shown = true;
  std::vector<DrawnBox> drawn;
  std::vector<DrawnBox> pending;
  bool drawingPending = false;
};

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {}

int MainWindow::ControlId(Ctl control) {
  if (const int id = SelectorControls::ControlId(control); id != 0 && control.name.back() == '4') return id;
  for (size_t i = 0; i < std::size(kDesign); ++i) {
    if (kDesign[i].control == control) return kFirstControlId + static_cast<int>(i);
  }
  return 0;
}

MainWindow::~MainWindow() {
  if (window_) ::DestroyWindow(window_);
}

MainWindow::Control* MainWindow::Find(Ctl control) {
  for (auto& c : controls_) {
    if (c->design->control == control) return c.get();
  }
  return nullptr;
}

MainWindow::Control* MainWindow::FindByWindow(HWND window) {
  for (auto& c : controls_) {
    if (c->window == window) return c.get();
  }
  return nullptr;
}

bool MainWindow::Create() {
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&init);
  PictureBox::Register(instance_);

  WNDCLASSEXW wc{sizeof(wc)};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(1));
  if (!wc.hIcon) wc.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
  wc.lpszClassName = kWindowClass;
  ::RegisterClassExW(&wc);
  WNDCLASSEXW page{sizeof(page)};
  page.lpfnWndProc = PageProc;
  page.hInstance = instance_;
  page.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  page.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
  page.lpszClassName = kPageClass;
  ::RegisterClassExW(&page);

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  window_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                              nullptr, nullptr, instance_, this);
  if (!window_) return false;
  RECT frame{0, 0, TwipsToPixelsX(window_, kClientWidth), TwipsToPixelsY(window_, kClientHeight)};
  ::AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
  ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CreateControls();
  taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");

  iconMenu_.reset(::CreatePopupMenu());
  ::AppendMenuW(iconMenu_.get(), MF_STRING, kMenuOpenId, L"Open");
  ::AppendMenuW(iconMenu_.get(), MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(iconMenu_.get(), MF_STRING, kMenuVersionId, L"Version");
  ::SetMenuDefaultItem(iconMenu_.get(), 0, TRUE);
  shell_.Attach(window_, iconMenu_.get(), kMenuOpenId, kMenuVersionId);
  subForm_.SetOwner(window_);
  return true;
}

void MainWindow::CreateControls() {
  int id = kFirstControlId;
  for (const Design& design : kDesign) {
    auto control = std::make_unique<Control>();
    control->design = &design;
    control->x = design.x;
    control->top = design.y;
    control->width = design.width;
    control->height = design.height;
    if (design.container.name.size()) {
      const Control* container = Find(design.container);
      control->x += container->x;
    }
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE;
    switch (design.kind) {
      case Kind::Frame: windowClass = L"BUTTON"; style |= BS_GROUPBOX; break;
      case Kind::Label: style |= SS_LEFT | SS_NOPREFIX; break;
      case Kind::Button: windowClass = L"BUTTON"; style |= BS_PUSHBUTTON | WS_TABSTOP; break;
      case Kind::Combo: windowClass = L"COMBOBOX"; style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP; break;
      case Kind::Picture: windowClass = PictureBox::kClassName; break;
      case Kind::Tab: windowClass = WC_TABCONTROLW; style |= WS_TABSTOP; break;
      // Option buttons and boxes are checked by the window's rules (one option of an array), not by
      // the button itself: indicator controls must not change on their own.
      case Kind::Option: windowClass = L"BUTTON"; style |= BS_RADIOBUTTON | WS_TABSTOP; break;
      case Kind::Check: windowClass = L"BUTTON"; style |= BS_CHECKBOX | WS_TABSTOP; break;
      case Kind::Scroll: windowClass = L"SCROLLBAR"; style |= SBS_HORZ | WS_TABSTOP; break;
    }
    const HWND parent = design.page >= 0 ? pages_[design.page] : window_;
    control->window = ::CreateWindowExW(0, windowClass, L"", style, 0, 0, 0, 0, parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance_, nullptr);
    if (design.kind == Kind::Scroll && design.control.index >= 0 && design.control.index < kSliderCount) {
      const SliderRange& range = kSliderRanges[design.control.index];
      ::SetScrollRange(control->window, SB_CTL, range.min, range.max, FALSE);
    }
    controls_.push_back(std::move(control));
    Place(*controls_.back());
    ApplyFont(*controls_.back());

    if (design.kind == Kind::Tab) {
      tab_ = controls_.back()->window;
      for (int page = 0; page < kPageCount; ++page) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(L"");
        TabCtrl_InsertItem(tab_, page, &item);
      }
      // Each page is a window over the tab's display area that holds the page's controls.
      RECT area;
      ::GetWindowRect(tab_, &area);
      ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
      TabCtrl_AdjustRect(tab_, FALSE, &area);
      pageOrigin_ = {area.left, area.top};
      for (HWND& page : pages_) {
        page = ::CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPSIBLINGS, area.left, area.top,
                                 area.right - area.left, area.bottom - area.top, window_, nullptr, instance_, nullptr);
      }
      // The tab control lies under its pages.
      ::SetWindowPos(tab_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  // Frames lie under what they hold, outer frames under inner ones.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    if ((*it)->design->kind == Kind::Frame) {
      ::SetWindowPos((*it)->window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  if (const Control* frame = Find({"Frame4", 2})) {
    selector4_.Create(instance_, pages_[4], window_, {frame->x, frame->y}, pageOrigin_);
    selector4_.Attach(&other_.Selector());
  }
  ShowPage(0);
}

void MainWindow::Place(Control& control) {
  control.y = control.top;
  if (control.design->container.name.size()) control.y += Find(control.design->container)->y;
  const int y = control.y;
  // Controls of a page are placed relative to the page's window.
  const POINT origin = control.design->page >= 0 ? pageOrigin_ : POINT{0, 0};
  ::MoveWindow(control.window, TwipsToPixelsX(window_, control.x) - origin.x, TwipsToPixelsY(window_, y) - origin.y,
               TwipsToPixelsX(window_, control.width), TwipsToPixelsY(window_, control.height), TRUE);
}

void MainWindow::ApplyFont(Control& control) {
  ::SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(window_, control.fontName, control.fontSize)),
                 TRUE);
}

void MainWindow::ShowPage(int page) {
  currentPage_ = page;
  TabCtrl_SetCurSel(tab_, page);
  for (int i = 0; i < kPageCount; ++i) ::ShowWindow(pages_[i], i == page ? SW_SHOWNA : SW_HIDE);
}

HBRUSH MainWindow::BrushFor(Color color) {
  auto it = brushes_.find(color);
  if (it == brushes_.end()) {
    it = brushes_.emplace(color, common::win::UniqueGdi<HBRUSH>(::CreateSolidBrush(color))).first;
  }
  return it->second.get();
}

// --- View -----------------------------------------------------------------------------------------

void MainWindow::SetText(Ctl control, std::string_view text) {
  Control* c = Find(control);
  if (c && c->textKnown && c->text == text) return;
  const std::wstring wide = common::win::AnsiToWide(text);
  if (c) {
    c->text.assign(text);
    c->textKnown = true;
  }
  if (control.name == "MainForm") {
    ::SetWindowTextW(window_, wide.c_str());
  } else if (control.name == "SSTab1") {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(wide.c_str());
    TabCtrl_SetItem(tab_, control.index, &item);
  } else if (control.name == "MenuItem") {
    const UINT id = control.index == 0 ? kMenuOpenId : kMenuVersionId;
    ::ModifyMenuW(iconMenu_.get(), id, MF_BYCOMMAND | MF_STRING, id, wide.c_str());
  } else if (c) {
    if (c->design->kind == Kind::Combo) {
      // A list without entries shows its text as its only, selected item.
      ::SendMessageW(c->window, CB_RESETCONTENT, 0, 0);
      if (!wide.empty()) {
        ::SendMessageW(c->window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        ::SendMessageW(c->window, CB_SETCURSEL, 0, 0);
      }
    } else {
      ::SetWindowTextW(c->window, wide.c_str());
    }
  }
}

void MainWindow::SetForeColor(Ctl control, Color color) {
  if (Control* c = Find(control)) {
    if (c->hasForeColor && c->foreColor == color) return;
    c->hasForeColor = true;
    c->foreColor = color;
    ::InvalidateRect(c->window, nullptr, TRUE);
  }
}

void MainWindow::SetBackColor(Ctl control, Color color) {
  if (Control* c = Find(control)) {
    if (c->hasBackColor == (color != kSystemWindowColor) && c->backColor == color) return;
    c->hasBackColor = color != kSystemWindowColor;
    c->backColor = color;
    ::InvalidateRect(c->window, nullptr, TRUE);
  }
}

// A control shows while it and every container around it are shown.
void MainWindow::ApplyVisibility(Control& control) {
  bool visible = control.shown;
  for (Ctl container = control.design->container; visible && container.name.size();) {
    const Control* outer = Find(container);
    if (!outer) break;
    visible = outer->shown;
    container = outer->design->container;
  }
  const bool showing = (::GetWindowLongPtrW(control.window, GWL_STYLE) & WS_VISIBLE) != 0;
  if (visible != showing) ::ShowWindow(control.window, visible ? SW_SHOWNA : SW_HIDE);
}

void MainWindow::SetVisible(Ctl control, bool visible) {
  Control* c = Find(control);
  if (!c || c->shown == visible) return;
  c->shown = visible;
  ApplyVisibility(*c);
  if (c->design->kind != Kind::Frame) return;
  // What the frame holds, at any depth, follows it.
  for (auto& inner : controls_) {
    for (Ctl container = inner->design->container; container.name.size();) {
      if (container == control) {
        ApplyVisibility(*inner);
        break;
      }
      const Control* outer = Find(container);
      if (!outer) break;
      container = outer->design->container;
    }
  }
}

void MainWindow::SetEnabled(Ctl control, bool enabled) {
  Control* c = Find(control);
  if (c && (::IsWindowEnabled(c->window) != FALSE) != enabled) ::EnableWindow(c->window, enabled);
}

void MainWindow::SetFontName(Ctl control, std::string_view name) {
  if (selector4_.SetFontName(control, name)) return;
  if (Control* c = Find(control)) {
    std::wstring wide = common::win::AnsiToWide(name);
    if (wide == c->fontName) return;
    c->fontName = std::move(wide);
    ApplyFont(*c);
  }
}

void MainWindow::SetFontSize(Ctl control, int points) {
  if (selector4_.SetFontSize(control, points)) return;
  if (Control* c = Find(control)) {
    if (c->fontSize == points) return;
    c->fontSize = points;
    ApplyFont(*c);
  }
}

void MainWindow::SetTop(Ctl control, int twips) {
  if (Control* c = Find(control)) {
    if (c->top == twips) return;
    c->top = twips;
    Place(*c);
  }
}

void MainWindow::SetHeight(Ctl control, int twips) {
  if (Control* c = Find(control)) {
    if (c->height == twips) return;
    c->height = twips;
    Place(*c);
  }
}

SizeTwips MainWindow::GetSize(Ctl control) {
  const Control* c = Find(control);
  return c ? SizeTwips{c->width, c->height} : SizeTwips{};
}

void MainWindow::ClearList(Ctl control) {
  if (Control* c = Find(control)) {
    c->textKnown = false;
    ::SendMessageW(c->window, CB_RESETCONTENT, 0, 0);
  }
}

void MainWindow::AddItem(Ctl control, std::string_view text) {
  if (Control* c = Find(control)) {
    c->textKnown = false;
    const std::wstring wide = common::win::AnsiToWide(text);
    ::SendMessageW(c->window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
}

void MainWindow::SetListIndex(Ctl control, int index) {
  Control* c = Find(control);
  if (!c || ::SendMessageW(c->window, CB_GETCURSEL, 0, 0) == index) return;
  c->textKnown = false;
  ::SendMessageW(c->window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void MainWindow::SetPicture(Ctl control, const std::wstring& path) {
  if (Control* c = Find(control)) PictureBox::SetPicture(c->window, path);
}

// A redraw clears a picture's boxes and draws them again; the picture box is told only when the
// boxes asked for differ from the ones it shows, once the event that asked has been handled.
void MainWindow::PendDrawing(Control& control) {
  if (control.drawingPending) return;
  control.drawingPending = true;
  control.pending = control.drawn;
  ::PostMessageW(window_, kFlushDrawingMessage, 0, reinterpret_cast<LPARAM>(&control));
}

void MainWindow::FlushDrawing(Control& control) {
  if (!control.drawingPending) return;
  control.drawingPending = false;
  if (control.pending == control.drawn) return;
  PictureBox::ClearDrawing(control.window);
  for (const DrawnBox& box : control.pending) PictureBox::DrawBox(control.window, box.rect, box.color);
  control.drawn.swap(control.pending);
}

void MainWindow::ClearDrawing(Ctl control) {
  if (Control* c = Find(control)) {
    PendDrawing(*c);
    c->pending.clear();
  }
}

void MainWindow::FillBox(Ctl control, int rightTwips, int bottomTwips, Color color) {
  if (Control* c = Find(control)) {
    PendDrawing(*c);
    c->pending.push_back({RECT{0, 0, TwipsToPixelsX(window_, rightTwips), TwipsToPixelsY(window_, bottomTwips)}, color});
  }
}

void MainWindow::SetChecked(Ctl control, bool checked) {
  Control* c = Find(control);
  if (!c || IsChecked(control) == checked) return;
  ::SendMessageW(c->window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool MainWindow::IsChecked(Ctl control) {
  const Control* c = Find(control);
  return c && ::SendMessageW(c->window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetValue(Ctl control, int value) {
  Control* c = Find(control);
  if (c && ::GetScrollPos(c->window, SB_CTL) != value) ::SetScrollPos(c->window, SB_CTL, value, TRUE);
}

int MainWindow::GetValue(Ctl control) {
  const Control* c = Find(control);
  return c ? ::GetScrollPos(c->window, SB_CTL) : 0;
}

std::string MainWindow::GetText(Ctl control) {
  Control* c = Find(control);
  if (!c) return {};
  if (!c->textKnown) {
    const int length = ::GetWindowTextLengthW(c->window);
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    wide.resize(static_cast<size_t>(::GetWindowTextW(c->window, wide.data(), length + 1)));
    return common::win::WideToAnsi(wide);
  }
  return c->text;
}

bool MainWindow::IsWindowVisible() { return ::IsWindowVisible(window_) != FALSE; }

void MainWindow::ShowWindow() {
  if (!::IsWindowVisible(window_)) ::ShowWindow(window_, SW_SHOW);
  if (::IsIconic(window_)) ::ShowWindow(window_, SW_RESTORE);
}

void MainWindow::HideWindow() { ::ShowWindow(window_, SW_HIDE); }

int MainWindow::CurrentPage() { return currentPage_; }

void MainWindow::SelectPage(int page) { ShowPage(page); }

void MainWindow::BringToFront() {
  ::SetForegroundWindow(window_);
  ::SetActiveWindow(window_);
}

void MainWindow::Unload() {
  if (window_) ::DestroyWindow(window_);
}

// --- MessageBoxes ---------------------------------------------------------------------------------

BoxAnswer MainWindow::Show(std::string_view text, BoxStyle style) {
  UINT flags = MB_SETFOREGROUND;
  switch (style) {
    case BoxStyle::Error: flags |= MB_ICONEXCLAMATION | MB_OK; break;
    case BoxStyle::Question: flags |= MB_ICONQUESTION | MB_OKCANCEL; break;
    case BoxStyle::Critical: flags |= MB_ICONSTOP | MB_YESNO; break;
    case BoxStyle::Information: flags |= MB_ICONINFORMATION | MB_OK; break;
    case BoxStyle::QuestionYesNo: flags |= MB_ICONQUESTION | MB_YESNO; break;
    case BoxStyle::QuestionOkOnly: flags |= MB_ICONQUESTION | MB_OK; break;
    case BoxStyle::CriticalOk: flags |= MB_ICONSTOP | MB_OK; break;
    case BoxStyle::CriticalCancelRetry: flags |= MB_ICONSTOP | MB_CANCELTRYCONTINUE; break;
  }
  const std::wstring wide = common::win::AnsiToWide(text);
  const std::wstring title = common::win::AnsiToWide(text::kTitle);
  HWND owner = window_ && ::IsWindowVisible(window_) ? window_ : nullptr;
  // Over the instruction log window while it is open, so the box stays above it.
  if (const HWND active = ::GetActiveWindow(); active && active != window_ && ::GetWindow(active, GW_OWNER) == window_) {
    owner = active;
  }
  switch (::MessageBoxW(owner, wide.c_str(), title.c_str(), flags)) {
    case IDOK: return BoxAnswer::Ok;
    case IDYES: return BoxAnswer::Yes;
    case IDNO: return BoxAnswer::No;
    default: return BoxAnswer::Cancel;
  }
}

// --- EventLoop ------------------------------------------------------------------------------------

void MainWindow::StartTimer(TimerId timer, int intervalMs) {
  if (window_) ::SetTimer(window_, timer == TimerId::Timer1 ? kTimer1Id : kTimer2Id, static_cast<UINT>(intervalMs), nullptr);
}

void MainWindow::StopTimer(TimerId timer) {
  if (window_) ::KillTimer(window_, timer == TimerId::Timer1 ? kTimer1Id : kTimer2Id);
}

void MainWindow::Dispatch(MSG& message) {
  if (window_ && ::IsDialogMessageW(window_, &message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

bool MainWindow::WaitForNextEvent() {
  MSG message;
  const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
  if (got == 0) {
    ::PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the outer loop
    return false;
  }
  if (got < 0) return false;
  Dispatch(message);
  return true;
}

void MainWindow::ProcessPendingEvents() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Dispatch(message);
  }
}

// --- PageInput ------------------------------------------------------------------------------------

void MainWindow::SetHourglass(bool on) {
  hourglass_ = on;
  ::SetCursor(::LoadCursorW(nullptr, on ? IDC_WAIT : IDC_ARROW));
}

// --- Notification-area icon -----------------------------------------------------------------------

void MainWindow::AddIcon() {
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof(icon);
  icon.hWnd = window_;
  icon.uID = kIconId;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = kIconMessage;
  icon.hIcon = reinterpret_cast<HICON>(::GetClassLongPtrW(window_, GCLP_HICON));
  const std::wstring tip = common::win::AnsiToWide(text::kTitle);
  tip.copy(icon.szTip, std::size(icon.szTip) - 1);
  ::Shell_NotifyIconW(NIM_ADD, &icon);
  iconAdded_ = true;
}

void MainWindow::RemoveIcon() {
  if (!iconAdded_) return;
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof(icon);
  icon.hWnd = window_;
  icon.uID = kIconId;
  ::Shell_NotifyIconW(NIM_DELETE, &icon);
  iconAdded_ = false;
}

// --- Controls of pages 1 to 3 ---------------------------------------------------------------------

void MainWindow::ClickPageControl(Ctl control) {
  const Control* c = Find(control);
  if (!c) return;
  if (c->design->kind == Kind::Option) {
    // Choosing an option clears the others of its array, as options in one frame do.
    for (auto& other : controls_) {
      if (other->design->control.name == control.name) SetChecked(other->design->control, other->design->control == control);
    }
    if (control.name == "Opt2") mediaDetail_.Opt2_Click(control.index);
  } else if (control.name == "Check3") {
    printerProperty_.Check3_Click(control.index);
  } else if (control.name == "Cmd1") {
    conditionSet_.Cmd1_Click(control.index);
  }
}

void MainWindow::ScrollSlider(HWND slider, int request, int thumb) {
  const Control* c = FindByWindow(slider);
  if (!c || c->design->kind != Kind::Scroll) return;
  int low = 0, high = 0;
  ::GetScrollRange(slider, SB_CTL, &low, &high);
  const int from = ::GetScrollPos(slider, SB_CTL);
  int to = from;
  switch (request) {
    case SB_LINELEFT:
    case SB_PAGELEFT: to = from - 1; break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT: to = from + 1; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: to = thumb; break;
    case SB_LEFT: to = low; break;
    case SB_RIGHT: to = high; break;
    default: return;
  }
  to = std::clamp(to, low, high);
  if (to == from) return;
  ::SetScrollPos(slider, SB_CTL, to, TRUE);
  conditionSet_.HScroll1_Change(c->design->control.index);
}

// --- Messages -------------------------------------------------------------------------------------

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // Nothing may escape into the system's dispatcher; the poll goes on at the next tick.
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimer1Id) form_.OnTimer(TimerId::Timer1);
      if (wParam == kTimer2Id) form_.OnTimer(TimerId::Timer2);
      return 0;
    case WM_COMMAND: {
      const auto source = reinterpret_cast<HWND>(lParam);
      if (!source) {
        if (LOWORD(wParam) == kMenuOpenId) form_.MenuItem_Click(0);
        if (LOWORD(wParam) == kMenuVersionId) form_.MenuItem_Click(2);
        return 0;
      }
      const Control* c = FindByWindow(source);
      if (!c) return 0;
      const Ctl control = c->design->control;
      if (HIWORD(wParam) == BN_CLICKED && control.name == "Cmd0") form_.Cmd0_Click(control.index);
      if (HIWORD(wParam) == BN_CLICKED && control.name == "Cmdm") form_.Cmdm_Click();
      if (HIWORD(wParam) == BN_CLICKED && control.name == "Cmd4") other_.Cmd4_Click(control.index);
      if (HIWORD(wParam) == CBN_SELCHANGE && control.name == "Combo0") {
        form_.Combo0_Click(static_cast<int>(::SendMessageW(source, CB_GETCURSEL, 0, 0)));
      }
      if (HIWORD(wParam) == BN_CLICKED) ClickPageControl(control);
      return 0;
    }
    case WM_HSCROLL:
      ScrollSlider(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
      return 0;
    case kFlushDrawingMessage:
      FlushDrawing(*reinterpret_cast<Control*>(lParam));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == tab_ && header->code == TCN_SELCHANGE) {
        const int left = currentPage_;
        ShowPage(TabCtrl_GetCurSel(tab_));
        form_.SSTab1_Click(left);
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      const auto dc = reinterpret_cast<HDC>(wParam);
      const auto child = reinterpret_cast<HWND>(lParam);
      const Control* c = FindByWindow(child);
      if (!c) c = FindByWindow(::GetParent(child));  // the edit and list parts of a combo box
      if (!c) break;
      if (c->hasForeColor) ::SetTextColor(dc, c->foreColor);
      if (c->hasBackColor) {
        ::SetBkColor(dc, c->backColor);
        return reinterpret_cast<LRESULT>(BrushFor(c->backColor));
      }
      if (c->design->kind == Kind::Label || c->design->kind == Kind::Frame || c->design->kind == Kind::Option ||
          c->design->kind == Kind::Check) {
        ::SetBkColor(dc, ::GetSysColor(COLOR_3DFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_3DFACE));
      }
      break;
    }
    case kIconMessage:
      ticon_.OnIconEvent(LOWORD(lParam) == WM_LBUTTONDBLCLK ? IconEvent::DoubleClick
                         : LOWORD(lParam) == WM_RBUTTONDOWN ? IconEvent::RightButtonDown
                                                            : IconEvent::Other);
      return 0;
    case WM_SETCURSOR:
      if (hourglass_) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) form_.Activate();
      break;
    case WM_CLOSE:
      form_.Unload();
      return 0;
    case WM_DESTROY:
      RemoveIcon();
      ::KillTimer(window_, kTimer1Id);
      ::KillTimer(window_, kTimer2Id);
      ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      break;
    default:
      if (message == taskbarCreated_ && taskbarCreated_ != 0 && iconAdded_) {
        iconAdded_ = false;
        AddIcon();  // the taskbar came back: the icon must too, or a hidden window is out of reach
        return 0;
      }
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

int MainWindow::Run() {
  if (!Create()) return 1;
  form_.SetPage(1, &conditionSet_);
  form_.SetPage(2, &mediaDetail_);
  form_.SetPage(3, &printerProperty_);
  form_.SetPage(4, &other_);
  form_.SetLogWindow(&subForm_);
  wchar_t modulePath[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameW(nullptr, modulePath, static_cast<DWORD>(std::size(modulePath)));
  form_.Load(common::DirectoryOf(std::wstring_view(modulePath, length)));
  if (!form_.EndFlag()) AddIcon();
  // The window has just been shown: its activation ends the program when the load said so.
  form_.Activate();

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(message);
  return 0;
}

}  // namespace monitor::win
