// The wizard reads its information file once and parses it in memory; here that reading is held
// against the profile API on the same files: raw values, and the whole information object for
// every Windows version.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/win/ansi.h"
#include "sample_files.h"
#include "setup_wizard/win/profile_reader_win.h"

using namespace setup_wizard;
namespace fs = std::filesystem;

namespace {

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

std::string Utf16WithMark(std::wstring_view text) {
  std::string out = "\xFF\xFE";
  for (wchar_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return out;
}

template <typename... T>
void Put(std::wostringstream& o, const T&... values) {
  ((o << values << L'|'), ...);
}

// Everything a caller can read from the object, loading every record in turn.
std::wstring Describe(SetupInformation& info) {
  std::wostringstream o;
  auto component = [&](const ComponentRecord& c) {
    Put(o, c.name, c.entrySection, c.settingsSection, c.sourceDirectory, c.diskNumber);
  };
  auto files = [&](const std::vector<std::wstring>& names, const DependSlot& slot) {
    Put(o, JoinFileList(names), slot.directory, slot.diskNumber);
  };
  auto option = [&](const OptionUiService& s) { Put(o, s.section, s.serviceName, s.file, JoinFileList(s.dependFiles)); };
  Put(o, info.OsCode(), info.OsIndex(), info.ProductName(), info.LicenseFile(), info.LicenseFileExists(),
      info.LimitText(), info.PortMonitorFlag(), info.WdmFlag(), JoinFileList(info.Disks()));
  for (int d = 0; d < info.DriverCount(); ++d) {
    Put(o, L"\ndriver", info.DriverName(d), info.PrinterOptionServiceName(d),
        info.LanguageMonitorOptionServiceName(d), info.LoadDriver(d));
    for (int share = 0; share < 5; ++share) Put(o, info.OtherOsCode(share, d, 0), info.OtherOsCode(share, d, 1));
    const DriverRecord& r = info.Driver();
    component(r);
    Put(o, r.infFile, r.driverFile, r.graphicsFile, r.userInterfaceFile, r.userModeFile, r.helpFile, r.dataFile,
        r.dataType, r.manufacturer, r.oemUrl, r.hardwareId, r.provider, r.checkInf, r.expandedFile, r.plugAndPlay,
        r.catalogFile, r.langMonName, r.langMonFile, r.printProcessorName, r.printProcessorFile);
    files(r.dependFiles, r.depend);
    files(r.langMonDependFiles, r.langMonDepend);
    files(r.printProcessorDependFiles, r.printProcessorDepend);
    option(r.printerOptionUi);
    option(r.langMonOptionUi);
    for (int m = 0; m < info.PortMonitorCount(d); ++m) {
      Put(o, L"\n monitor", info.PortMonitorName(d, m), info.PortMonitorOptionSection(d, m), info.LoadPortMonitor(d, m));
      const PortMonitorRecord& p = info.PortMonitor();
      component(p);
      Put(o, p.infFile, p.monitorFile, p.checkInf, p.expandedFile);
      files(p.dependFiles, p.depend);
      option(p.optionUi);
      for (int u = 0; u < info.UsbDriverCount(d, m); ++u) {
        Put(o, L"\n  usb", info.UsbDriverName(d, m, u), info.LoadUsbDriver(d, m, u));
        const UsbDriverRecord& w = info.UsbDriver();
        component(w);
        Put(o, w.infFile, w.driverFile, w.hardwareIds, w.checkInf, w.expandedFile, w.allClasses);
        files(w.dependFiles, w.depend);
      }
    }
  }
  return o.str();
}

class ProfileCompare : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring edges = samples::kProfileEdges;
    std::wstring longValues = L"[Long]\r\n";
    for (size_t n : {4093u, 4094u, 4095u, 4096u, 5000u}) {
      longValues += L"Plain" + std::to_wstring(n) + L"=" + std::wstring(n, L'v') + L"\r\n";
      longValues += L"Quoted" + std::to_wstring(n) + L"=\"" + std::wstring(n - 2, L'q') + L"\"\r\n";
    }
    fs::create_directories(folder_);
    WriteBytes(folder_ / L"edges.ini", Narrow(edges));
    WriteBytes(folder_ / L"edges16.ini", Utf16WithMark(edges));
    WriteBytes(folder_ / L"long.ini", Narrow(longValues));
    WriteBytes(folder_ / L"edges8.ini", "\xEF\xBB\xBF" + Narrow(edges));
    // Bytes above 0x7F in the ANSI code page, among them 0x80..0x9F, which are not Latin-1.
    WriteBytes(folder_ / L"ansi.ini",
               "[Ansi]\r\nPlain=caf\xE9 \x80 \x93quoted\x94\r\nQuoted=\"\x8A\xE0\"\r\nCl\xE9=name\r\n"
               "[\xC4nderung]\r\nKey=section\r\n");
    WriteBytes(folder_ / L"KVSetup.ini", Narrow(samples::kSampleInformation));
    WriteBytes(folder_ / L"License.txt", "Licence text\r\n");
  }
  void TearDown() override { fs::remove_all(folder_); }
  const fs::path folder_ = fs::temp_directory_path() / (L"wizinfo-" + std::to_wstring(::GetCurrentProcessId()));
};

TEST_F(ProfileCompare, RawValuesMatchTheApi) {
  win::Win32SetupFiles wizard;
  for (const wchar_t* name : {L"edges.ini", L"edges16.ini", L"edges8.ini"}) {
    const std::wstring path = folder_ / name;
    const win::Win32ProfileFile api(path);
    const std::unique_ptr<ProfileSource> read = wizard.OpenProfile(path);
    for (const samples::Probe& p : samples::kEdgeProbes) {
      EXPECT_EQ(read->ReadString(p.section, p.key, L"dflt  "), api.ReadString(p.section, p.key, L"dflt  "))
          << name << L" " << p.section << L"/" << p.key;
      EXPECT_EQ(read->ReadInt(p.section, p.key, -5), api.ReadInt(p.section, p.key, -5))
          << name << L" " << p.section << L"/" << p.key;
    }
    for (const wchar_t* section : samples::kEdgeSections) {
      EXPECT_EQ(read->ReadKeyNames(section), api.ReadKeyNames(section)) << name << L" " << section;
    }
  }

  const std::wstring ansiPath = folder_ / L"ansi.ini";
  const win::Win32ProfileFile api(ansiPath);
  const std::unique_ptr<ProfileSource> read = wizard.OpenProfile(ansiPath);
  const std::wstring umlautSection = common::win::AnsiToWide("\xC4nderung");
  EXPECT_EQ(read->ReadKeyNames(L"Ansi"), api.ReadKeyNames(L"Ansi"));
  for (const std::wstring& key : api.ReadKeyNames(L"Ansi")) {
    EXPECT_EQ(read->ReadString(L"Ansi", key, L""), api.ReadString(L"Ansi", key, L"")) << key;
  }
  EXPECT_EQ(read->ReadString(umlautSection, L"Key", L""), L"section");
  EXPECT_EQ(api.ReadString(umlautSection, L"Key", L""), L"section");
  EXPECT_EQ(read->ReadString(L"Ansi", L"Plain", L""), common::win::AnsiToWide("caf\xE9 \x80 \x93quoted\x94"));

  const std::wstring path = folder_ / L"long.ini";
  const ProfileReader viaApi(std::make_unique<win::Win32ProfileFile>(path));
  const ProfileReader viaWizard(wizard.OpenProfile(path));
  EXPECT_EQ(viaApi.KeyNames(L"Long"), viaWizard.KeyNames(L"Long"));
  for (const std::wstring& key : viaWizard.KeyNames(L"Long")) {
    EXPECT_EQ(viaApi.Value(L"Long", key), viaWizard.Value(L"Long", key)) << key;
  }
  EXPECT_EQ(viaWizard.Value(L"Long", L"Plain4094").size(), 4094u);
  EXPECT_EQ(viaWizard.Value(L"Long", L"Plain4095"), L"");

  // A file that is not there reads as empty both ways.
  const std::unique_ptr<ProfileSource> missing = wizard.OpenProfile(folder_ / L"missing.ini");
  EXPECT_EQ(missing->ReadString(L"Ansi", L"Plain", L"none"), L"none");
  EXPECT_TRUE(missing->ReadKeyNames(L"Ansi").empty());
}

TEST_F(ProfileCompare, InformationMatchesTheApiForEveryWindowsVersion) {
  // The package's file, copied beside the test; finding it also proves the module directory.
  const fs::path package = fs::path(win::ModuleDirectory(nullptr)) / L"setup_wizard_profile";
  for (const fs::path& folder : {folder_, package}) {
    ASSERT_TRUE(fs::exists(folder / L"KVSetup.ini")) << folder;
    SetupInformation api(folder.wstring(), std::make_unique<win::Win32SetupFiles>(win::ProfileReading::ValueByValue));
    SetupInformation text(folder.wstring(), std::make_unique<win::Win32SetupFiles>());
    for (int os = 1; os <= 11; ++os) {
      ASSERT_EQ(api.Load(os << 8, L"KVSetup.ini"), 1);
      ASSERT_EQ(text.Load(os << 8, L"KVSetup.ini"), 1);
      EXPECT_EQ(Describe(api), Describe(text)) << folder << L" OS " << os;
      if (folder == package && os >= 5) {
        EXPECT_EQ(api.DriverCount(), 4) << os;
      }
    }
    EXPECT_EQ(api.LicenseFileExists(), 1);
    std::wstring shown;
    EXPECT_EQ(api.ReadLicenseText([&](const std::wstring& t) { shown = t; }), 1);
    EXPECT_NE(shown.find(L"icen"), std::wstring::npos);
  }
}

}  // namespace
