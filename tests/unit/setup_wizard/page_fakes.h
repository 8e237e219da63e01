// A wizard page's controls as plain values, for the page rules' tests.
#pragma once

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "setup_wizard/install_pages.h"

namespace setup_wizard::fakes {

// The page's controls as plain values; list boxes marked sorted keep their items in order.
class FakeView : public PageView {
 public:
  struct List {
    std::vector<std::pair<std::wstring, intptr_t>> items;
    int selected = -1;
    bool sorted = false;
  };
  std::map<int, std::wstring> texts;
  std::map<int, bool> checks, visible, enabled;
  std::map<int, int> limits;
  std::map<int, List> lists;
  std::vector<std::wstring> boxes;
  std::vector<unsigned> buttons;
  int focused = 0;
  bool cancelPressed = false;

  FakeView() {
    lists[kPortList].sorted = true;
    lists[kMonitorList].sorted = true;
  }

  std::wstring String(int id) override {
    switch (id) {
      case kStringShareForbidden: return L"\"*/:<>?\\|";
      case kStringInstallWelcome: return L"Welcome to %s printer installation.";
      default: return L"#" + std::to_wstring(id);
    }
  }
  void SetText(int c, const std::wstring& t) override { texts[c] = t; }
  std::wstring Text(int c) override { return texts[c]; }
  void SetChecked(int c, bool v) override { checks[c] = v; }
  bool Checked(int c) override { return checks[c]; }
  void SetVisible(int c, bool v) override { visible[c] = v; }
  void SetEnabled(int c, bool v) override { enabled[c] = v; }
  void SetLimit(int c, int n) override { limits[c] = n; }
  void Focus(int c) override { focused = c; }
  void ClearList(int c) override { lists[c].items.clear(), lists[c].selected = -1; }
  static std::wstring Lower(std::wstring s) {
    for (auto& ch : s) ch = static_cast<wchar_t>(std::towlower(ch));
    return s;
  }
  int AddItem(int c, const std::wstring& t) override {
    auto& items = lists[c].items;
    auto at = items.end();
    if (lists[c].sorted) {
      at = std::find_if(items.begin(), items.end(), [&](const auto& i) { return Lower(i.first) > Lower(t); });
    }
    const auto placed = items.insert(at, {t, 0});
    return static_cast<int>(placed - items.begin());
  }
  int FindPrefix(int c, const std::wstring& t) override {
    const auto& items = lists[c].items;
    for (size_t i = 0; i < items.size(); ++i) {
      if (Lower(items[i].first).rfind(Lower(t), 0) == 0) return static_cast<int>(i);
    }
    return -1;
  }
  void SetItemData(int c, int i, intptr_t d) override { lists[c].items.at(static_cast<size_t>(i)).second = d; }
  intptr_t ItemData(int c, int i) override { return lists[c].items.at(static_cast<size_t>(i)).second; }
  std::wstring ItemText(int c, int i) override { return lists[c].items.at(static_cast<size_t>(i)).first; }
  int ItemCount(int c) override { return static_cast<int>(lists[c].items.size()); }
  void Select(int c, int i) override { lists[c].selected = i; }
  int Selection(int c) override { return lists[c].selected; }
  void ErrorBox(const std::wstring& t) override { boxes.push_back(t); }
  void SetButtons(unsigned b) override { buttons.push_back(b); }
  void PressCancel() override { cancelPressed = true; }

  std::vector<std::wstring> Names(int c) {
    std::vector<std::wstring> out;
    for (const auto& i : lists[c].items) out.push_back(i.first);
    return out;
  }
  std::vector<intptr_t> ItemData(int c) {
    std::vector<intptr_t> out;
    for (const auto& i : lists[c].items) out.push_back(i.second);
    return out;
  }
};

}  // namespace setup_wizard::fakes
