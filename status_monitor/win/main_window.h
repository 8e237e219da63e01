// The monitor's main window: the Win32 side of MainForm. It owns the controls (by their design
// names), implements the view, message-box and event-loop ports, and forwards every event.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/win/handles.h"
#include "status_monitor/common.h"
#include "status_monitor/condition_set.h"
#include "status_monitor/main_form.h"
#include "status_monitor/media_detail.h"
#include "status_monitor/other.h"
#include "status_monitor/ports.h"
#include "status_monitor/printer_property.h"
#include "status_monitor/ticon.h"
#include "status_monitor/win/files.h"
#include "status_monitor/win/font_cache.h"
#include "status_monitor/win/kvcmd_library.h"
#include "status_monitor/win/picture_box.h"
#include "status_monitor/win/selector_controls.h"
#include "status_monitor/win/sub_form_window.h"
#include "status_monitor/win/tray_shell.h"

namespace monitor::win {

class MainWindow final : public View, public MessageBoxes, public EventLoop, public PageInput {
 public:
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window, loads the form and runs until the window is unloaded; the exit code.
  int Run();

  // The child-window ID of a control, for test robots; 0 for a name the window does not have.
  static int ControlId(Ctl control);
  static constexpr const wchar_t* kWindowClass = L"TPX800StatusMonitorWindow";
  // The notification icon's callback message; its lParam carries the mouse message.
  static constexpr UINT kIconMessage = WM_APP + 1;

  // View.
  void SetText(Ctl control, std::string_view text) override;
  void SetForeColor(Ctl control, Color color) override;
  void SetBackColor(Ctl control, Color color) override;
  void SetVisible(Ctl control, bool visible) override;
  void SetEnabled(Ctl control, bool enabled) override;
  void SetFontName(Ctl control, std::string_view name) override;
  void SetFontSize(Ctl control, int points) override;
  void SetTop(Ctl control, int twips) override;
  void SetHeight(Ctl control, int twips) override;
  SizeTwips GetSize(Ctl control) override;
  void ClearList(Ctl control) override;
  void AddItem(Ctl control, std::string_view text) override;
  void SetListIndex(Ctl control, int index) override;
  void SetPicture(Ctl control, const std::wstring& path) override;
  void ClearDrawing(Ctl control) override;
  void FillBox(Ctl control, int rightTwips, int bottomTwips, Color color) override;
  void SetChecked(Ctl control, bool checked) override;
  bool IsChecked(Ctl control) override;
  void SetValue(Ctl control, int value) override;
  int GetValue(Ctl control) override;
  std::string GetText(Ctl control) override;
  bool IsWindowVisible() override;
  void ShowWindow() override;
  void HideWindow() override;
  int CurrentPage() override;
  void SelectPage(int page) override;
  void BringToFront() override;
  void Unload() override;

  // MessageBoxes.
  BoxAnswer Show(std::string_view text, BoxStyle style) override;

  // EventLoop.
  void StartTimer(TimerId timer, int intervalMs) override;
  void StopTimer(TimerId timer) override;
  bool WaitForNextEvent() override;
  void ProcessPendingEvents() override;

  // PageInput.
  void SetHourglass(bool on) override;

 private:
  struct Control;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool Create();
  void CreateControls();
  void Dispatch(MSG& message);
  Control* Find(Ctl control);
  Control* FindByWindow(HWND window);
  void Place(Control& control);
  void ApplyFont(Control& control);
  void ApplyVisibility(Control& control);
  void PendDrawing(Control& control);
  void FlushDrawing(Control& control);
  void ClickPageControl(Ctl control);
  void ScrollSlider(HWND slider, int request, int thumb);
  void ShowPage(int page);
  void AddIcon();
  void RemoveIcon();
  HBRUSH BrushFor(Color color);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  static constexpr int kPageCount = 5;
  HWND tab_ = nullptr;
  HWND pages_[kPageCount] = {};
  POINT pageOrigin_{};
  std::vector<std::unique_ptr<Control>> controls_;
  FontCache fonts_;
  std::map<Color, common::win::UniqueGdi<HBRUSH>> brushes_;
  common::win::UniqueHmenu iconMenu_;
  UINT taskbarCreated_ = 0;
  bool iconAdded_ = false;
  int currentPage_ = 0;

  GdiplusSession gdiplus_;
  KvcmdLibrary library_;
  Common common_{library_, *this};
  MainForm form_{*this, *this, *this, common_};
  // Pages 1 to 3: settings, media status, printer property.
  ConditionSet conditionSet_{*this, *this, common_};
  MediaDetail mediaDetail_{*this, common_};
  PrinterProperty printerProperty_{*this, common_};
  // The "Others" page, its file selector, the instruction log window and the icon's menu.
  WinFiles files_;
  SelectorControls selector4_{4};
  Other other_{*this, *this, *this, *this, common_, files_, selector4_};
  SubFormWindow subForm_{instance_, files_, *this, other_, common_};
  WinTrayShell shell_;
  Ticon ticon_{*this, *this, form_, shell_};
  bool hourglass_ = false;
};

}  // namespace monitor::win
