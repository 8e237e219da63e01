#include "status_monitor/sub_form.h"

#include "status_monitor/texts.h"

namespace monitor {

void SubForm::Form_Load(const std::wstring& appPath) {
  static constexpr Ctl kControls[] = {{"SubForm"}, {"Frame5"}, {"Drive5"}, {"Dir5"},
                                      {"File5"},   {"Text5"},  {"Cmd5", 0}, {"Cmd5", 1}};
  for (const Ctl control : kControls) view_.SetFont(control, "Arial", kSubFormFontSize);
  view_.SetText({"SubForm"}, text::kSubFormCaption);
  view_.SetText({"Frame5"}, text::kFileSelection);
  view_.SetText({"Cmd5", 0}, text::kCmd5Captions[0]);
  view_.SetText({"Cmd5", 1}, text::kCmd5Captions[1]);
  selector_.Fill(appPath);
}

bool SubForm::Cmd5_Click(int index) {
  if (index == 0) return other_.WriteInstructionLog(selector_.TrimmedPath());
  return index == 1;
}

}  // namespace monitor
