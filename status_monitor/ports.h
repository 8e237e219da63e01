// The monitor's ports besides the library: its window and controls, message boxes, the event loop.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace monitor {

// A control of the main window by its design name; index >= 0 for an element of a control array
// (Cmd0(1) is {"Cmd0", 1}). The window itself is "MainForm"; the tab captions are "SSTab1"(i).
struct Ctl {
  std::string_view name;
  int index = -1;

  friend bool operator==(const Ctl&, const Ctl&) = default;
};

// 0x00BBGGRR, as Windows stores colours.
using Color = uint32_t;
constexpr Color Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}
// The system's window background colour, resolved by the view.
inline constexpr Color kSystemWindowColor = 0x80000005u;

struct SizeTwips {
  int width = 0;
  int height = 0;
};

// What the logic writes to (and reads from) the main window. Positions and sizes are in twips;
// texts are in the ANSI code page.
class View {
 public:
  virtual ~View() = default;
  virtual void SetText(Ctl control, std::string_view text) = 0;
  virtual void SetForeColor(Ctl control, Color color) = 0;
  virtual void SetBackColor(Ctl control, Color color) = 0;
  virtual void SetVisible(Ctl control, bool visible) = 0;
  virtual void SetEnabled(Ctl control, bool enabled) = 0;
  virtual void SetFontName(Ctl control, std::string_view name) = 0;
  virtual void SetFontSize(Ctl control, int points) = 0;
  virtual void SetTop(Ctl control, int twips) = 0;
  virtual void SetHeight(Ctl control, int twips) = 0;
  virtual SizeTwips GetSize(Ctl control) = 0;
  // List controls.
  virtual void ClearList(Ctl control) = 0;
  virtual void AddItem(Ctl control, std::string_view text) = 0;
  virtual void SetListIndex(Ctl control, int index) = 0;
  // Picture controls: a picture file (empty for none), and a drawing layer above it.
  virtual void SetPicture(Ctl control, const std::wstring& path) = 0;
  virtual void ClearDrawing(Ctl control) = 0;
  virtual void FillBox(Ctl control, int rightTwips, int bottomTwips, Color color) = 0;
  // Option buttons and check boxes (checked or not), scroll bars (position), and reading a text back.
  virtual void SetChecked(Ctl control, bool checked) = 0;
  virtual bool IsChecked(Ctl control) = 0;
  virtual void SetValue(Ctl control, int value) = 0;
  virtual int GetValue(Ctl control) = 0;
  virtual std::string GetText(Ctl control) = 0;

  // The window as a whole.
  virtual bool IsWindowVisible() = 0;
  virtual void ShowWindow() = 0;
  virtual void HideWindow() = 0;
  virtual int CurrentPage() = 0;
  virtual void SelectPage(int page) = 0;  // does not raise the page-change event
  virtual void BringToFront() = 0;
  virtual void Unload() = 0;              // closes the window; the program ends
};

enum class BoxStyle {
  Error,     // exclamation, OK
  Question,  // question, OK and Cancel
  Critical,  // critical, Yes and No
  Information,            // information, OK
  QuestionYesNo,          // question, Yes and No
  QuestionOkOnly,         // question, OK
  CriticalOk,             // critical, OK
  CriticalCancelRetry,    // critical, Cancel, Try Again and Continue
};
enum class BoxAnswer { Ok, Cancel, Yes, No };

// Message boxes, all titled "TPX800 Status Monitor".
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual BoxAnswer Show(std::string_view text, BoxStyle style) = 0;
};

enum class TimerId { Timer1, Timer2 };

// The window's event loop and timers. Timer ticks come back through MainForm::OnTimer.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  virtual void StartTimer(TimerId timer, int intervalMs) = 0;
  virtual void StopTimer(TimerId timer) = 0;
  // Blocks until the next event and handles it. False once the program is ending.
  virtual bool WaitForNextEvent() = 0;
  // Handles the events already queued, without waiting.
  virtual void ProcessPendingEvents() = 0;
};

}  // namespace monitor
