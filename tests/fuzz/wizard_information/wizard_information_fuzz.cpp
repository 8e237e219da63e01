// The wizard's information file as a whole: a load for one Windows version, then every selection
// list and every component record, through the in-memory profile reader the native tests use.
// Input: byte 0 picks the Windows version and the module directory; the rest is the file.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/win_path.h"
#include "fuzz_check.h"
#include "setup_wizard/profile_reader.h"
#include "setup_wizard/setup_information.h"

using namespace setup_wizard;

namespace {

// The file parsed once per input. Each load reads the same values again (and a run loads three
// times), so answers are kept: the same question of an unchanged text has the same answer, and
// lookups were most of a run's time.
class RememberedProfile : public ProfileSource {
 public:
  explicit RememberedProfile(const IniTextProfile& profile) : profile_(profile) {}
  std::wstring ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view def) const override {
    std::wstring question = Question(section, key);
    question.append(def);
    auto [at, added] = strings_.try_emplace(std::move(question));
    if (added) at->second = profile_.ReadString(section, key, def);
    return at->second;
  }
  int ReadInt(std::wstring_view section, std::wstring_view key, int def) const override {
    auto [at, added] = ints_.try_emplace(Question(section, key) + std::to_wstring(def));
    if (added) at->second = profile_.ReadInt(section, key, def);
    return at->second;
  }
  std::vector<std::wstring> ReadKeyNames(std::wstring_view section) const override {
    return profile_.ReadKeyNames(section);
  }

 private:
  static std::wstring Question(std::wstring_view section, std::wstring_view key) {
    std::wstring question(section);
    question += L'\0';
    question.append(key);
    question += L'\0';
    return question;
  }
  const IniTextProfile& profile_;
  mutable std::unordered_map<std::wstring, std::wstring> strings_;
  mutable std::unordered_map<std::wstring, int> ints_;
};

class MemoryFiles : public SetupFiles {
 public:
  explicit MemoryFiles(const IniTextProfile& profile) : profile_(profile) {}
  std::unique_ptr<ProfileSource> OpenProfile(const std::wstring&) override {
    return std::make_unique<RememberedProfile>(profile_);
  }
  bool CanRead(const std::wstring&) override { return true; }
  std::optional<std::wstring> ReadAnsiText(const std::wstring&) override { return std::wstring(L"licence"); }

 private:
  const IniTextProfile& profile_;
};

// Module directories: a drive folder, a network share, and one that leaves little room.
const std::wstring kModuleDirectories[] = {L"D:\\Setup", L"\\\\server\\share\\Setup",
                                           L"D:\\" + std::wstring(230, L'm')};

// Bounded loops keep one run short; the lists themselves may be longer.
constexpr int kMaxVisited = 4;

void CheckDirectory(const std::wstring& directory, int diskNumber, size_t diskCount) {
  FUZZ_CHECK(directory.size() <= common::kMaxPathChars);
  FUZZ_CHECK(directory.empty() || directory.back() == L'\\');
  FUZZ_CHECK(diskNumber >= 0 && static_cast<size_t>(diskNumber) <= diskCount);
  FUZZ_CHECK(directory.empty() == (diskNumber == 0));
}

void CheckName(const std::wstring& name) {
  FUZZ_CHECK(name.size() <= ProfileReader::kFieldChars);
  FUZZ_CHECK(name.find(L',') == std::wstring::npos);
}

// A file list reaches the support library as NUL-separated names: it must come back whole.
void CheckFileList(const std::vector<std::wstring>& names) {
  const std::wstring joined = JoinFileList(names);
  std::vector<std::wstring> back;
  for (size_t at = 0; at < joined.size() && joined[at] != L'\0';) {
    const size_t end = joined.find(L'\0', at);
    back.push_back(joined.substr(at, end - at));
    at = end + 1;
  }
  FUZZ_CHECK(back == names);
}

void CheckComponent(const ComponentRecord& record, size_t disks) {
  CheckName(record.name);
  CheckName(record.entrySection);
  CheckName(record.settingsSection);
  CheckDirectory(record.sourceDirectory, record.diskNumber, disks);
}

void CheckOptionUi(const OptionUiService& service) {
  CheckName(service.serviceName);
  CheckName(service.file);
  CheckFileList(service.dependFiles);
}

void CheckLoaded(SetupInformation& info) {
  const size_t disks = info.Disks().size();
  FUZZ_CHECK(disks <= SetupInformation::kMaxEntries);
  for (const std::wstring& disk : info.Disks()) CheckDirectory(disk, disk.empty() ? 0 : 1, 1);
  FUZZ_CHECK(info.LicenseFile().size() <= common::kMaxPathChars);
  FUZZ_CHECK(info.OsIndex() >= 0 && info.OsIndex() <= SetupInformation::kMaxEntries);
  CheckName(info.ProductName());
  FUZZ_CHECK(info.DriverCount() <= SetupInformation::kMaxEntries);
  FUZZ_CHECK(info.DriverName(-1).empty() && info.DriverName(info.DriverCount()).empty());
  FUZZ_CHECK(info.LoadDriver(info.DriverCount()) == 0 && info.Driver().name.empty());

  for (int d = 0; d < std::min(info.DriverCount(), kMaxVisited); ++d) {
    CheckName(info.DriverName(d));
    FUZZ_CHECK(info.LoadDriver(d) == 1);
    const DriverRecord& driver = info.Driver();
    CheckComponent(driver, disks);
    FUZZ_CHECK(driver.dataType.size() <= 7);
    FUZZ_CHECK(driver.checkInf <= 1 && driver.checkInf >= 0 && driver.expandedFile >= 0 && driver.expandedFile <= 1);
    for (const auto* slot : {&driver.depend, &driver.langMonDepend, &driver.printProcessorDepend}) {
      CheckDirectory(slot->directory, slot->diskNumber, disks);
    }
    for (const auto* list : {&driver.dependFiles, &driver.langMonDependFiles, &driver.printProcessorDependFiles}) {
      CheckFileList(*list);
    }
    CheckOptionUi(driver.printerOptionUi);
    CheckOptionUi(driver.langMonOptionUi);
    FUZZ_CHECK(info.PrinterOptionServiceName(d) == driver.printerOptionUi.serviceName);
    FUZZ_CHECK(info.LanguageMonitorOptionServiceName(d) == driver.langMonOptionUi.serviceName);
    for (int share = 0; share < 4; ++share) {
      for (int is64 = 0; is64 <= 1; ++is64) {
        const int code = info.OtherOsCode(share, d, is64);
        FUZZ_CHECK(code >= 0 && code <= 11);
      }
    }

    const int monitors = info.PortMonitorCount(d);
    FUZZ_CHECK(monitors >= 0 && monitors <= SetupInformation::kMaxEntries);
    for (int m = 0; m < std::min(monitors, kMaxVisited); ++m) {
      CheckName(info.PortMonitorName(d, m));
      FUZZ_CHECK(info.LoadPortMonitor(d, m) == 1);
      const PortMonitorRecord& monitor = info.PortMonitor();
      CheckComponent(monitor, disks);
      CheckDirectory(monitor.depend.directory, monitor.depend.diskNumber, disks);
      CheckFileList(monitor.dependFiles);
      CheckOptionUi(monitor.optionUi);
      FUZZ_CHECK(info.PortMonitorOptionSection(d, m) == monitor.optionUi.section);

      const int usbs = info.UsbDriverCount(d, m);
      FUZZ_CHECK(usbs >= 0 && usbs <= SetupInformation::kMaxEntries);
      for (int u = 0; u < std::min(usbs, kMaxVisited); ++u) {
        CheckName(info.UsbDriverName(d, m, u));
        FUZZ_CHECK(info.LoadUsbDriver(d, m, u) == 1);
        const UsbDriverRecord& usb = info.UsbDriver();
        CheckComponent(usb, disks);
        CheckDirectory(usb.depend.directory, usb.depend.diskNumber, disks);
        CheckFileList(usb.dependFiles);
        FUZZ_CHECK(usb.allClasses >= 0 && usb.allClasses <= 1);
      }
      FUZZ_CHECK(info.LoadUsbDriver(d, m, usbs) == 0);
    }
    FUZZ_CHECK(info.LoadPortMonitor(d, monitors) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  if (size < 1) return 0;
  const int os = 1 + input[0] % 11;
  const std::wstring& module = kModuleDirectories[(input[0] / 11) % 3];
  const std::wstring text =
      IniTextProfile::DecodeBytes(std::string_view(reinterpret_cast<const char*>(input) + 1, size - 1));

  const IniTextProfile profile(text);
  SetupInformation info(module, std::make_unique<MemoryFiles>(profile));
  const int loaded = info.Load(os << 8, L"KVSetup.ini");
  FUZZ_CHECK(loaded == 0 || loaded == 1);
  if (!loaded) {
    FUZZ_CHECK(info.DriverCount() == 0 && info.Disks().empty() && info.ProductName().empty());
    return 0;
  }
  CheckLoaded(info);

  // Switching to another version and back gives the same lists (the other-OS steps rely on it).
  const int drivers = info.DriverCount();
  const std::wstring first = info.DriverName(0);
  if (info.Load(os == 11 ? 0x100 : (os + 1) << 8, L"KVSetup.ini") == 1) {
    FUZZ_CHECK(info.DriverCount() <= SetupInformation::kMaxEntries);
  }
  FUZZ_CHECK(info.Load(os << 8, L"KVSetup.ini") == 1);
  FUZZ_CHECK(info.DriverCount() == drivers && info.DriverName(0) == first);
  return 0;
}
