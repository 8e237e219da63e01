#include "status_monitor/main_form.h"

#include "status_monitor/message_table.h"
#include "status_monitor/sub_form.h"
#include "status_monitor/texts.h"

namespace monitor {

namespace {

constexpr Ctl kWindow{"MainForm"};
constexpr Ctl kCombo{"Combo0"};
constexpr Ctl kMenuBar{"Menu1"};
constexpr Color kPaleCyan = Rgb(192, 255, 255);

// Every control that takes the window's font, in the order the font is applied.
constexpr Ctl kFontControls[] = {
    {"MainForm"}, {"SSTab1"}, {"Cmdm"}, {"Cmd0", 0}, {"Cmd0", 1}, {"Combo0"},
    {"Frame0", 0}, {"Frame0", 1}, {"Frame0", 2}, {"Frame0", 3}, {"Frame0", 4}, {"Frame0", 5}, {"Frame0", 6},
    {"Frame0", 7}, {"Frame0", 8}, {"Label0_1"}, {"Label0_2", 0}, {"Label0_2", 1}, {"Label0_2", 2},
    {"Label0_3", 0}, {"Label0_3", 1}, {"Label0_4", 0}, {"Label0_4", 1}, {"Label0_5"}, {"Label0_6"},
    {"Label0_7"}, {"Label0_8"}, {"Label0_9"},
    // "Printer Setting", "Media Status", "Printer Property".
    {"Cmd1", 0}, {"Cmd1", 1}, {"Frame1", 0}, {"Frame1", 1}, {"Frame1", 2}, {"Frame1", 3}, {"Frame1", 4},
    {"Frame1", 5}, {"Frame1", 6}, {"Frame1", 7}, {"Frame1", 8}, {"Frame1", 10}, {"Frame1", 11}, {"Frame1", 12},
    {"Label1_1", 0}, {"Label1_1", 1}, {"Label1_1", 2}, {"Label1_1", 3}, {"Label1_1", 4}, {"Label1_1", 5},
    {"Label1_2", 0}, {"Label1_2", 1}, {"Label1_2", 2}, {"Label1_2", 3}, {"Label1_2", 4}, {"Label1_2", 5},
    {"Label1_3", 0}, {"Label1_3", 1}, {"Label1_3", 2}, {"Label1_3", 3}, {"Label1_3", 4}, {"Label1_3", 5},
    {"Opt1_1", 0}, {"Opt1_1", 1}, {"Opt1_2", 0}, {"Opt1_2", 1}, {"Opt1_3", 0}, {"Opt1_3", 1}, {"Opt1_3", 2},
    {"Frame2", 0}, {"Frame2", 1}, {"Frame2", 2}, {"Frame2", 3}, {"Frame2", 4}, {"Frame2", 5}, {"Frame2", 6},
    {"Frame2", 7}, {"Label2", 0}, {"Label2", 1}, {"Label2", 2}, {"Label2", 3}, {"Label2", 4}, {"Label2", 5},
    {"Label2", 6}, {"Label2", 7}, {"Label2", 8}, {"Opt2", 0}, {"Opt2", 1}, {"Opt2", 2}, {"Check3", 0}, {"Check3", 1},
    {"Check3", 2}, {"Check3", 3}, {"Check3", 4}, {"Check3", 5}, {"Frame3", 0}, {"Frame3", 1}, {"Frame3", 2},
    {"Frame3", 3}, {"Frame3", 4}, {"Frame3", 5}, {"Frame3", 6}, {"Frame3", 7}, {"Frame3", 8}, {"Label3", 0},
    {"Label3", 1}, {"Label3", 2}, {"Label3", 3}, {"Label3", 4}, {"Label3", 5}, {"Label3", 6}, {"Label3", 7},
    // "Others".
    {"Cmd4", 0}, {"Cmd4", 1}, {"Cmd4", 2}, {"Drive4"}, {"Dir4"}, {"File4"}, {"Text4"}, {"Label4_1"},
    {"Frame4", 0}, {"Frame4", 1}, {"Frame4", 2}, {"Frame4", 3}, {"Label4_2", 0}, {"Label4_2", 1}, {"Label4_2", 2},
    {"Opt4", 0}, {"Opt4", 1},
};

}  // namespace

MainForm::MainForm(View& view, MessageBoxes& boxes, EventLoop& events, Common& common)
    : view_(view), boxes_(boxes), events_(events), common_(common), status_(view, common) {}

bool MainForm::Printer_Scan() {
  if (common_.ScanPrinters() == kLibraryMissing) {
    boxes_.Show(text::kLibraryMissing, BoxStyle::Error);
    endFlag_ = true;
    return true;
  }
  endFlag_ = false;
  const PrinterList& printers = common_.Printers();
  if (printers.count <= 1) {
    view_.SetEnabled(kCombo, false);
    view_.SetBackColor(kCombo, kPaleCyan);
    view_.ClearList(kCombo);
    view_.SetText(kCombo, printers.unitText);
    return false;
  }
  suppressSelection_ = true;
  view_.SetEnabled(kCombo, true);
  view_.SetBackColor(kCombo, kSystemWindowColor);
  view_.ClearList(kCombo);
  for (int i = 0; i < printers.count; ++i) {
    view_.AddItem(kCombo, std::to_string(static_cast<long long>(printers.units[i]) + 1));
  }
  view_.SetListIndex(kCombo, 0);
  common_.SelectPrinter(0);
  suppressSelection_ = false;
  return false;
}

void MainForm::Load(std::wstring appPath) {
  common_.Printers().appPath = std::move(appPath);
  if (!Printer_Scan()) {
    for (const Ctl control : kFontControls) view_.SetFontName(control, "Arial");
    for (const Ctl control : kFontControls) view_.SetFontSize(control, 9);
    view_.SetText(kWindow, text::kTitle);
    view_.SetText({"Cmdm"}, text::kMinimize);

    for (int page = 4; page >= 0; --page) {
      view_.SelectPage(page);
      view_.SetText({"SSTab1", page}, text::kPageCaptions[page]);
      if (pages_[page]) pages_[page]->Prepare();
    }
    view_.SetText({"MenuItem", 0}, text::kMenuOpen);
    view_.SetText({"MenuItem", 2}, text::kMenuVersion);

    status_.Prepare();
    common_.SetFirstRefresh();
    ReadAndShowStatus();
    events_.StartTimer(TimerId::Timer1, 200);
  }
  view_.ShowWindow();
  view_.SetVisible(kMenuBar, false);
}

void MainForm::Activate() {
  if (endFlag_) Unload();
}

void MainForm::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  events_.StopTimer(TimerId::Timer1);
  events_.StopTimer(TimerId::Timer2);
  view_.Unload();
}

void MainForm::RememberStatus() {
  rememberedCount_ = common_.Printers().count;
  rememberedStatus_ = common_.Info().statusCode;
  rememberedState_ = common_.Info().stateCode;
}

void MainForm::ShowStatusAndRemember() {
  status_.ShowStatusPage();
  RememberStatus();
}

void MainForm::ReadAndShowStatus() {
  common_.ReadStatus();
  common_.RefreshPrinterInfo();
  ShowStatusAndRemember();
}

void MainForm::Combo0_Click(int index) {
  if (suppressSelection_ || index < 0 || index >= common_.Printers().count) return;
  common_.SelectPrinter(index);
  common_.SetFirstRefresh();
  ReadAndShowStatus();
}

void MainForm::Cmd0_Click(int index) {
  if (index == 1) {  // "Update"
    if (boxes_.Show(text::kConfirmRefreshPrinters, BoxStyle::Question) != BoxAnswer::Ok) return;
    if (Printer_Scan()) {
      Unload();
      return;
    }
    if (common_.Printers().count != rememberedCount_) {
      if (common_.Printers().Found()) {
        common_.ReadStatus();
        common_.RefreshPrinterInfo();
      } else {
        common_.Info().statusCode = 0;
        common_.Info().stateCode = 0;
      }
      ShowStatusAndRemember();
    }
    return;
  }
  // "Log..": the instruction log can be fetched only from an idle printer.
  if (!common_.Printers().Found()) {
    boxes_.Show(text::kNoPrinterFound, BoxStyle::Error);
  } else if (common_.Info().statusCode == 0 && common_.Info().stateCode == 0) {
    if (logWindow_) logWindow_->ShowModal();
  } else {
    boxes_.Show(text::kPrinterOnPrinting, BoxStyle::Error);
  }
}

void MainForm::Cmdm_Click() {
  view_.HideWindow();
  view_.SetVisible(kMenuBar, false);
}

void MainForm::SSTab1_Click(int previousPage) {
  common_.ReadStatus();
  common_.RefreshPrinterInfo();
  if (previousPage != 0) ShowStatusAndRemember();
  for (int page = 1; page <= 4; ++page) {
    if (page != previousPage && pages_[page]) pages_[page]->Refresh();
  }
}

void MainForm::Icon_DoubleClick() {
  ReadAndShowStatus();
  view_.SelectPage(0);
  if (!view_.IsWindowVisible()) {
    view_.ShowWindow();
    view_.SetVisible(kMenuBar, false);
  }
  view_.BringToFront();
}

void MainForm::MenuItem_Click(int index) {
  if (index == 0) {
    ReadAndShowStatus();
    view_.SelectPage(0);
  } else if (index == 2) {
    if (pages_[4]) pages_[4]->Refresh();
    view_.SelectPage(4);
  }
  view_.ShowWindow();
  view_.SetVisible(kMenuBar, false);
}

void MainForm::OnTimer(TimerId timer) {
  if (unloaded_) return;
  if (timer == TimerId::Timer2) {
    common_.OnTimer2();
  } else {
    Timer1_Timer();
  }
}

void MainForm::Timer1_Timer() {
  tickCounter_ = static_cast<int16_t>(tickCounter_ + 2);
  if (tickCounter_ < 10) return;
  tickCounter_ = 0;
  if (common_.Waiting()) return;  // the poll skips its turn while a retry wait runs

  PrinterList& printers = common_.Printers();
  PrinterInfo& info = common_.Info();
  if (printers.Found()) {
    common_.ReadStatus();
    common_.RefreshPrinterInfo();
  } else if (Printer_Scan()) {
    Unload();
    return;
  } else if (printers.Found()) {
    // A printer found again is read before it is shown: the snapshot still holds what the last
    // printer said, which the light redraw would otherwise keep showing.
    common_.SetFirstRefresh();
    common_.ReadStatus();
    common_.RefreshPrinterInfo();
  }
  if (unloaded_) return;

  int32_t code = info.statusCode;
  if (!printers.Found()) {
    info.statusCode = 0;
    info.stateCode = 0;
    code = 0;
  }
  if (code < 0 && IsDisconnectionCode(code)) common_.ClearPrinters();
  const int kind = code < 0 ? MessageKind(code) : kInfo;

  if (view_.IsWindowVisible()) {
    if (view_.CurrentPage() == 0) {
      const bool unchanged = printers.count == rememberedCount_ && info.statusCode == rememberedStatus_ &&
                             info.stateCode == rememberedState_;
      if (unchanged && kind < kHostFailure) {
        status_.ShowSupplies();
      } else {
        ShowStatusAndRemember();
      }
    }
  } else if (kind >= kPrinterAlarm) {
    view_.ShowWindow();
    view_.SetVisible(kMenuBar, false);
    view_.SelectPage(0);
    ShowStatusAndRemember();
  }

  // One end question at a time: polls that come while it is open do not ask again.
  if (kind >= kHostFailure && !endQuestionOpen_) {
    endQuestionOpen_ = true;
    const std::string question = std::string(text::kUnrecoverable) + "\r" + std::string(text::kEndMonitorQuestion);
    const BoxAnswer answer = boxes_.Show(question, BoxStyle::Critical);
    endQuestionOpen_ = false;
    if (answer == BoxAnswer::Yes) Unload();
  }
}

}  // namespace monitor
