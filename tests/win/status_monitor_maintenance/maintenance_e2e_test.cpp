// The built monitor beside the printer stand-in: its notification icon, the "Others" page's test
// print and firmware download, and the instruction log window, driven like a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "robot.h"
#include "status_monitor/win/main_window.h"
#include "status_monitor/win/sub_form_window.h"

namespace monitor::win {
namespace {

constexpr char kOnePrinter[] = "[Printer0]\nConnected=1\nStatus=ready\nState=ready\nInkType=YMCKOP\n";

std::string ReadAll(const std::wstring& path) {
  std::string content;
  if (FILE* file = ::_wfopen(path.c_str(), L"rb")) {
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) content.append(chunk, got);
    std::fclose(file);
  }
  return content;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// One monitor with its own state file and call journal.
struct Monitor {
  robot::TempFolder folder;
  std::wstring journal = folder / L"journal.txt";
  robot::Process process;
  HWND window = nullptr;

  Monitor() : process(Start()) {
    window = robot::WaitForWindowOf(process.Id(), MainWindow::kWindowClass, L"TPX800 Status Monitor", 20000);
  }
  robot::Process Start() {
    const std::wstring state = folder / L"printers.ini";
    robot::WriteFile(state, kOnePrinter);
    return robot::Process::Start(robot::ProgramFolder() + L"\\TPX800StatusMonitor.exe",
                                 {L"QLC07RT_STATE=" + state, L"QLC07RT_JOURNAL=" + journal});
  }
  HWND Control(Ctl control) const { return robot::DescendantById(window, MainWindow::ControlId(control)); }
  bool JournalHas(const std::string& text) const {
    return robot::WaitUntil([&] { return ReadAll(journal).find(text) != std::string::npos; }, 8000);
  }
  // Waits for the next message box, checks its text and presses a button; the box is gone after.
  void Answer(const std::wstring& text, int button) {
    HWND box = robot::WaitForMessageBox(process.Id(), 10000);
    ASSERT_NE(box, nullptr) << "no box for: " << Narrow(text);
    EXPECT_EQ(robot::MessageBoxText(box), text);
    robot::PressButton(box, button);
    EXPECT_TRUE(robot::WaitUntil([&] { return !::IsWindow(box); }, 5000));
  }
  void Close() {
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(process.Wait(10000), 0u);
  }
};

bool IconPresent(HWND window) {
  NOTIFYICONDATAW probe{};
  probe.cbSize = sizeof(probe);
  probe.hWnd = window;
  probe.uID = 0;
  probe.uFlags = NIF_TIP;
  wcscpy(probe.szTip, L"TPX800 Status Monitor");
  return ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

// The width of the ink of a label's text as it is on the screen, in pixels; 0 when nothing is drawn.
int InkWidthOnScreen(HWND label) {
  RECT r;
  ::GetWindowRect(label, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  int first = width;
  int last = -1;
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixels[y * width + x];
      if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 128) {  // dark: text
        first = std::min(first, x);
        last = std::max(last, x);
      }
    }
  }
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return last >= first ? last - first + 1 : 0;
}

TEST(MonitorFont, TheLotNumberLabelIsDrawnWithArialsWidths) {
  Monitor m;
  ASSERT_NE(m.window, nullptr);
  HWND label = m.Control({"Label0_4", 0});
  ASSERT_TRUE(robot::WaitUntil([&] { return robot::TextOf(label) == L"Lot Number"; }, 5000));
  ::Sleep(500);  // drawn
  // Arial 9 pt at 96 DPI advances "Lot Number" by about 63 pixels, and its ink (edges smoothed)
  // spans about as much; the wider fallback face Wine takes without Arial's metrics spans 71 and
  // runs into the lot number beside it.
  const int ink = InkWidthOnScreen(label);
  EXPECT_GE(ink, 56);
  EXPECT_LE(ink, 67) << "ink " << ink;
  m.Close();
}

TEST(MonitorIcon, IsAddedAtLoadBringsTheMinimizedWindowBackAndIsRemovedAtUnload) {
  Monitor m;
  ASSERT_NE(m.window, nullptr);
  EXPECT_NE(::FindWindowW(L"Shell_TrayWnd", nullptr), nullptr) << "the shell's tray window";
  EXPECT_TRUE(robot::WaitUntil([&] { return IconPresent(m.window); }, 5000));

  robot::Click(m.Control({"Cmdm"}));
  EXPECT_TRUE(robot::WaitUntil([&] { return !::IsWindowVisible(m.window); }, 5000)) << "Minimize hides the window";
  ::PostMessageW(m.window, MainWindow::kIconMessage, 0, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(robot::WaitUntil([&] { return ::IsWindowVisible(m.window) != FALSE; }, 5000))
      << "a double click on the icon shows it again";

  // A right click while hidden opens the icon menu; "Version(&A)" shows the "Others" page.
  robot::Click(m.Control({"Cmdm"}));
  ASSERT_TRUE(robot::WaitUntil([&] { return !::IsWindowVisible(m.window); }, 5000));
  ::PostMessageW(m.window, MainWindow::kIconMessage, 0, WM_RBUTTONDOWN);
  HWND menu = robot::WaitForWindowOf(m.process.Id(), L"#32768", L"", 5000);
  ASSERT_NE(menu, nullptr) << "the icon menu";
  ::PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
  ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(robot::WaitUntil([&] { return ::IsWindowVisible(m.window) != FALSE; }, 5000));
  EXPECT_TRUE(robot::WaitUntil([&] { return ::IsWindowVisible(m.Control({"Cmd4", 2})) != FALSE; }, 5000))
      << "the Others page is shown";

  // The shell restarted and lost its icons: the monitor adds its icon again when told.
  NOTIFYICONDATAW lost{};
  lost.cbSize = sizeof(lost);
  lost.hWnd = m.window;
  lost.uID = 0;
  ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &lost));
  ASSERT_FALSE(IconPresent(m.window));
  ::SendMessageTimeoutW(m.window, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
  EXPECT_TRUE(robot::WaitUntil([&] { return IconPresent(m.window); }, 5000));

  const HWND window = m.window;
  m.Close();
  EXPECT_FALSE(IconPresent(window));
}

TEST(OthersPage, TestPrintOnBothSidesAndAFirmwareFileReachTheLibrary) {
  Monitor m;
  ASSERT_NE(m.window, nullptr);
  // A tab is chosen inside the monitor's process: Wine does not pass WM_NOTIFY between processes.
  ::PostMessageW(m.Control({"SSTab1"}), TCM_SETCURFOCUS, 4, 0);
  HWND both = m.Control({"Opt4", 1});
  ASSERT_TRUE(robot::WaitUntil([&] { return ::IsWindowVisible(both) != FALSE; }, 5000));
  EXPECT_EQ(robot::TextOf(m.Control({"Frame4", 2})), L"Firmware DownLoad");
  robot::Click(both);
  ASSERT_TRUE(robot::WaitUntil([&] { return ::SendMessageW(both, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000));

  robot::Click(m.Control({"Cmd4", 1}));
  m.Answer(L"Would you like to start Test Print?", IDOK);
  EXPECT_TRUE(m.JournalHas("KVCMD_SendDiagnostic unit=0 sides=16 result=0")) << ReadAll(m.journal);

  const std::wstring firmware = m.folder / L"main.prf";
  ASSERT_TRUE(robot::WriteFile(firmware, "firmware image"));
  HWND path = robot::DescendantById(m.window, MainWindow::ControlId({"Text4"}));
  ASSERT_NE(path, nullptr);
  ::SendMessageTimeoutW(path, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(firmware.c_str()), SMTO_ABORTIFHUNG, 5000, nullptr);
  robot::Click(m.Control({"Cmd4", 2}));
  m.Answer(L"Would you like to update Printer Firmware?", IDOK);
  m.Answer(L"Firmware was updated correctly.\rPlease turn off and on the printer power to run new firmware.", IDOK);
  EXPECT_TRUE(m.JournalHas("KVCMD_UpdateFirmware unit=0 path=" + Narrow(firmware) + " result=0")) << ReadAll(m.journal);

  ::SendMessageTimeoutW(path, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\firmware"), SMTO_ABORTIFHUNG, 5000, nullptr);
  robot::Click(m.Control({"Cmd4", 2}));
  m.Answer(L"Would you like to update Printer Firmware?", IDOK);
  m.Answer(L"File name is invalid.", IDOK);
  m.Close();
}

TEST(InstructionLogWindow, WritesThePrintersLogToTheChosenFileAndCloses) {
  Monitor m;
  ASSERT_NE(m.window, nullptr);
  robot::Click(m.Control({"Cmd0", 0}));
  HWND log = robot::WaitForWindowOf(m.process.Id(), SubFormWindow::kWindowClass, L"Instruction Log", 10000);
  ASSERT_NE(log, nullptr);
  EXPECT_FALSE(::IsWindowEnabled(m.window)) << "the window is modal";
  HWND path = robot::DescendantById(log, SubFormWindow::ControlId({"Text5"}));
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(robot::TextOf(robot::DescendantById(log, SubFormWindow::ControlId({"Cmd5", 0}))), L"Write");

  const std::wstring file = m.folder / L"instructions.txt";
  ::SendMessageTimeoutW(path, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()), SMTO_ABORTIFHUNG, 5000, nullptr);
  robot::Click(robot::DescendantById(log, SubFormWindow::ControlId({"Cmd5", 0})));
  m.Answer(L"Would you like to write Instruction Log to the file?", IDOK);
  EXPECT_TRUE(robot::WaitUntil([&] { return !::IsWindow(log); }, 5000)) << "the window closes after the write";
  EXPECT_EQ(ReadAll(file).rfind("Instruction log of printer unit 1", 0), 0u) << ReadAll(file);
  EXPECT_TRUE(robot::WaitUntil([&] { return ::IsWindowEnabled(m.window) != FALSE; }, 5000));
  m.Close();
}

}  // namespace
}  // namespace monitor::win
