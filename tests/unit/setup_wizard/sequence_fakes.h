// The progress page with scripted users, a file system with versioned files and service programs,
// and the package's information file: what the installation and deletion sequences run against.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fake_support.h"
#include "setup_wizard/progress.h"
#include "setup_wizard/services.h"

namespace setup_wizard::fakes {

// The progress page with scripted users: a Cancel press can be planted on a text, questions are
// answered from a list, and every shown text and button offer is kept.
class FakeProgress : public ProgressPage {
 public:
  struct Answer {
    bool cancel = false;  // the wait ends by Cancel (then `confirm` decides)
    bool second = false;  // which choice is selected when it ends by Next
  };
  std::vector<std::wstring> shown;
  std::vector<std::pair<unsigned, bool>> buttons;
  std::deque<Answer> answers;
  std::deque<bool> confirms;  // answers to the cancel question
  std::vector<std::wstring> asked;
  std::wstring cancelOn;  // Cancel is pressed while this text shows
  bool cancelPending = false;
  bool isClosed = false;
  std::vector<int> sleeps;

  std::wstring String(int id) override { return L"#" + std::to_wstring(id); }
  bool IsReady() override { return true; }
  bool Closed() override { return isClosed; }
  void Show(const std::wstring& text, const std::wstring& first, const std::wstring& second) override {
    shown.push_back(first.empty() ? text : text + L" [" + first + L"|" + second + L"]");
    if (!cancelOn.empty() && text == cancelOn) cancelPending = true, cancelOn.clear();
  }
  void SetButtons(unsigned b, bool close) override { buttons.emplace_back(b, close); }
  bool WaitForAnswer() override {
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question";
      isClosed = true;
      return false;
    }
    const Answer a = answers.front();
    answers.pop_front();
    if (a.cancel) cancelPending = true;
    return a.second;
  }
  bool CancelRequested() override { return cancelPending; }
  void AcknowledgeCancel() override { cancelPending = false; }
  bool Confirm(const std::wstring& text) override {
    asked.push_back(text);
    if (confirms.empty()) return false;
    const bool yes = confirms.front();
    confirms.pop_front();
    return yes;
  }
  void* OwnerWindow() override { return this; }
  void Sleep(int ms) override { sleeps.push_back(ms); }
};

// Files with product versions, programs that register their service when run, and a device
// that turns up at a chosen poll.
class FakeSystem : public SetupSystem {
 public:
  explicit FakeSystem(fakes::FakeSupport& fake) : fake_(fake) {}
  std::map<std::wstring, std::optional<uint64_t>> files;  // path -> version
  std::map<std::wstring, std::wstring> serviceOf;         // program file name -> service it registers
  std::vector<std::wstring> copies, runs, deletes;
  std::set<std::wstring> undeletable;
  std::vector<int> sleeps;
  int devicePoll = 0;
  int deviceAt = 0;  // the poll that finds the printer; -1 never
  std::vector<std::wstring> deviceQueries;

  std::wstring SystemDirectory() override { return L"C:\\windows\\system32"; }
  bool Exists(const std::wstring& path) override { return files.count(path) > 0; }
  std::optional<uint64_t> ProductVersion(const std::wstring& path) override {
    const auto it = files.find(path);
    return it == files.end() ? std::nullopt : it->second;
  }
  bool CopyOneFile(const std::wstring& from, const std::wstring& to) override {
    copies.push_back(from + L" -> " + to);
    if (!files.count(from)) return false;
    files[to] = files[from];
    return true;
  }
  bool DeletePath(const std::wstring& path) override {
    deletes.push_back(path);
    if (undeletable.count(path)) return false;
    files.erase(path);
    return true;
  }
  Run RunAndWait(const std::wstring& program, const std::wstring& commandLine) override {
    runs.push_back(commandLine);
    if (!files.count(program)) return Run::kMissing;
    const std::wstring name = program.substr(program.rfind(L'\\') + 1);
    const auto it = serviceOf.find(name);
    if (it != serviceOf.end()) {
      if (commandLine.ends_with(L"-install")) fake_.services.insert(it->second);
      else fake_.services.erase(it->second);
    }
    return Run::kEnded;
  }
  void Sleep(int ms) override { sleeps.push_back(ms); }
  bool DevicePresent(const std::wstring& description, const std::wstring& hardwareId) override {
    deviceQueries.push_back(description + L" / " + hardwareId);
    return deviceAt >= 0 && devicePoll++ >= deviceAt;
  }

 private:
  fakes::FakeSupport& fake_;
};

class PackageFiles : public SetupFiles {
 public:
  explicit PackageFiles(std::wstring text) : text_(std::move(text)) {}
  std::unique_ptr<ProfileSource> OpenProfile(const std::wstring&) override {
    return std::make_unique<IniTextProfile>(text_);
  }
  bool CanRead(const std::wstring&) override { return false; }
  std::optional<std::wstring> ReadAnsiText(const std::wstring&) override { return std::nullopt; }

 private:
  std::wstring text_;
};

inline std::wstring PackageInformation() {
  std::ifstream in(std::string(PACKAGE_DIR) + "/KVSetup.ini", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return IniTextProfile::DecodeBytes(bytes.str());
}

}  // namespace setup_wizard::fakes
