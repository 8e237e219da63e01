#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "sample_files.h"
#include "setup_wizard/setup_information.h"

using namespace std::string_literals;
using setup_wizard::IniTextProfile;
using setup_wizard::SetupInformation;
namespace samples = setup_wizard::samples;

namespace {

constexpr int kXp = 0x600;

// Files by path; the information file and any readable text file.
class FakeFiles : public setup_wizard::SetupFiles {
 public:
  std::map<std::wstring, std::wstring> texts;
  std::unique_ptr<setup_wizard::ProfileSource> OpenProfile(const std::wstring& path) override {
    return std::make_unique<IniTextProfile>(texts[path]);
  }
  bool CanRead(const std::wstring& path) override { return texts.count(path) != 0; }
  std::optional<std::wstring> ReadAnsiText(const std::wstring& path) override {
    return CanRead(path) ? std::optional<std::wstring>(texts[path]) : std::nullopt;
  }
};

struct Loaded {
  FakeFiles* files;
  std::unique_ptr<SetupInformation> info;
  int result;
};

Loaded Load(const std::wstring& ini, int code = kXp) {
  auto files = std::make_unique<FakeFiles>();
  files->texts[L"D:\\Setup\\KVSetup.ini"] = ini;
  FakeFiles* raw = files.get();
  auto info = std::make_unique<SetupInformation>(samples::kModuleDirectory, std::move(files));
  const int result = info->Load(code, L"KVSetup.ini");
  return {raw, std::move(info), result};
}

}  // namespace

TEST(SetupInformation, VersionIsComparedAsText) {
  const struct {
    const wchar_t* version;
    int loads;
  } cases[] = {{L"1.2", 1}, {L"1.20", 1}, {L"1.100", 1}, {L"", 1}, {L"1.21", 0}, {L"1.3", 0}, {L"2.0", 0}};
  for (const auto& c : cases) {
    const Loaded l = Load(L"[Information]\nVersion="s + c.version + L"\nProducts=P\n");
    EXPECT_EQ(l.result, c.loads) << c.version;
    EXPECT_EQ(l.info->ProductName(), c.loads ? L"P" : L"") << c.version;
  }
}

TEST(SetupInformation, BadCodeLeavesTheObjectAndOtherFailuresEmptyIt) {
  Loaded l = Load(samples::kSampleInformation);
  ASSERT_EQ(l.result, 1);
  EXPECT_EQ(l.info->Load(0, L"KVSetup.ini"), 0);
  EXPECT_EQ(l.info->Load(0xC00, L"KVSetup.ini"), 0);
  EXPECT_EQ(l.info->DriverCount(), 2);
  l.files->texts[L"D:\\Setup\\New.ini"] = L"[Information]\nVersion=2.0\n";
  EXPECT_EQ(l.info->Load(kXp, L"New.ini"), 0);
  EXPECT_EQ(l.info->DriverCount(), 0);
  EXPECT_EQ(l.info->ProductName(), L"");
}

TEST(SetupInformation, LastMatchingOsLineWins) {
  const struct {
    int code, osIndex, drivers;
  } cases[] = {{0x600, 2, 2}, {0x500, 1, 1}, {0x900, 3, 2}, {0xA01, 4, 1}, {0xB00, 5, 0}, {0x300, 0, 0}};
  for (const auto& c : cases) {
    const Loaded l = Load(samples::kSampleInformation, c.code);
    EXPECT_EQ(l.result, 1);
    EXPECT_EQ(l.info->OsIndex(), c.osIndex) << std::hex << c.code;
    EXPECT_EQ(l.info->DriverCount(), c.drivers) << std::hex << c.code;
  }
}

TEST(SetupInformation, SelectionListsSkipEntriesMissingForTheOs) {
  const Loaded xp = Load(samples::kSampleInformation);
  const SetupInformation& i = *xp.info;
  EXPECT_EQ(i.ProductName(), L"ORV TPX800");
  ASSERT_EQ(i.DriverCount(), 2);
  EXPECT_EQ(i.DriverName(1), L"ORV TPX800 U3");
  // U1 names monitors 2 (missing on XP), 1, and 257, which does not fit a byte.
  ASSERT_EQ(i.PortMonitorCount(0), 1);
  EXPECT_EQ(i.PortMonitorName(0, 0), L"TPX800 Port Monitor");
  ASSERT_EQ(i.UsbDriverCount(0, 0), 2);
  EXPECT_EQ(i.UsbDriverName(0, 0, 0), L"USB Printer A");
  EXPECT_EQ(i.UsbDriverName(0, 0, 1), L"USB Printer C");
  EXPECT_EQ(i.DriverName(-1) + i.DriverName(2) + i.PortMonitorName(0, 1) + i.UsbDriverName(0, 0, 2), L"");
  EXPECT_EQ(i.PortMonitorCount(-1) + i.UsbDriverCount(0, -1), 0);
  EXPECT_EQ(i.LimitText(), 31);

  // On XP64 both monitors exist; positions follow the order the driver names them.
  const Loaded x64 = Load(samples::kSampleInformation, 0x900);
  EXPECT_EQ(x64.info->DriverName(1), L"ORV TPX800 U2");
  ASSERT_EQ(x64.info->PortMonitorCount(0), 2);
  EXPECT_EQ(x64.info->PortMonitorName(0, 0), L"Old Monitor");
  EXPECT_EQ(x64.info->PortMonitorName(0, 1), L"TPX800 Port Monitor");
  EXPECT_EQ(x64.info->UsbDriverName(0, 1, 1), L"USB Printer B");
}

TEST(SetupInformation, EntriesBeyond255AreIgnored) {
  std::wstring ini = L"[OS]\nEntry=1\nOS1=XP\n[D]\nOS1=S\n[PrinterDriver]\nEntry=300\n";
  for (int n = 1; n <= 300; ++n) ini += L"Name" + std::to_wstring(n) + L"=D" + std::to_wstring(n) + L",D\n";
  const Loaded l = Load(ini);
  EXPECT_EQ(l.info->DriverCount(), 255);
  EXPECT_EQ(l.info->DriverName(254), L"D255");
}

TEST(SetupInformation, DiskReferencesGiveDirectories) {
  const Loaded sample = Load(samples::kSampleInformation);
  EXPECT_EQ(sample.info->Disks(),
            (std::vector<std::wstring>{L"D:\\Setup\\Drivers\\", L"D:\\Setup\\", L"D:\\Shared\\Files\\"}));
  const struct {
    std::wstring ref, directory;
    int disk;
  } cases[] = {
      {L"1:x86", L"D:\\Setup\\one\\x86\\", 1}, {L"2:rel\\", L"D:\\Setup\\two\\rel\\", 2},
      {L"1:\\Abs", L"D:\\Abs\\", 1},           {L"2:", L"D:\\Setup\\two\\", 2},
      {L"3:x", L"", 0},                        {L"0:x", L"", 0},
      {L"1x", L"", 0},                         {L":x", L"", 0},
      {L"", L"", 0},                           {L"1:" + std::wstring(250, L'p'), L"", 0},
  };
  for (const auto& c : cases) {
    const Loaded l = Load(L"[OS]\nEntry=1\nOS1=XP\n[DiskInfo]\nEntry=2\n1=A,one\n2=B,two\n"
                          L"[PrinterDriver]\nEntry=1\nName1=P,E\n[E]\nOS1=S," + c.ref + L"\n");
    ASSERT_EQ(l.info->LoadDriver(0), 1);
    EXPECT_EQ(l.info->Driver().sourceDirectory, c.directory) << c.ref;
    EXPECT_EQ(l.info->Driver().diskNumber, c.disk) << c.ref;
  }
  // A disk whose directory would not fit a path is refused, and so is every ref naming it.
  const Loaded longDisk = Load(L"[DiskInfo]\nEntry=3\n1=A," + std::wstring(260, L'd') + L"\n2=B," +
                              std::wstring(250, L'd') + L"\n3=C\n");
  EXPECT_EQ(longDisk.info->Disks(), (std::vector<std::wstring>{L"", L"", L"D:\\Setup\\"}));
}

TEST(SetupInformation, RecordsShareDependentFileSlots) {
  const Loaded l = Load(samples::kSampleInformation);
  SetupInformation& i = *l.info;
  ASSERT_EQ(i.LoadDriver(0), 1);
  const setup_wizard::DriverRecord& d = i.Driver();
  EXPECT_EQ(d.name + L"|" + d.sourceDirectory + L"|" + d.infFile + L"|" + d.dataType,
            L"ORV TPX800 U1|D:\\Setup\\Drivers\\x86\\|tpx800.inf|NT EMF ");
  EXPECT_EQ(setup_wizard::JoinFileList(d.dependFiles), L"tpres.dll\0tpx800.icm\0\0"s);
  // The option UI's list is read second and decides the shared directory.
  EXPECT_EQ(d.depend.directory, L"D:\\Setup\\opt\\");
  EXPECT_EQ(d.depend.diskNumber, 2);
  EXPECT_EQ(d.langMonDependFiles, std::vector<std::wstring>{L"tplmres.dll"});
  EXPECT_EQ(d.langMonDepend.directory, L"");  // its option UI names no list
  EXPECT_EQ(d.printProcessorDepend.directory, L"D:\\Shared\\Files\\pp\\");

  ASSERT_EQ(i.LoadPortMonitor(0, 0), 1);
  EXPECT_EQ(i.PortMonitor().checkInf * 10 + i.PortMonitor().expandedFile, 1);
  EXPECT_EQ(i.PortMonitor().dependFiles, std::vector<std::wstring>{L"tpmonui.dll"});
  EXPECT_EQ(i.PortMonitor().depend.directory, L"");  // the option UI names disk 9 of 3

  ASSERT_EQ(i.LoadUsbDriver(0, 0, 1), 1);
  const setup_wizard::UsbDriverRecord& u = i.UsbDriver();
  EXPECT_EQ(u.name + L"|" + u.sourceDirectory + L"|" + u.hardwareIds, L"USB Printer C|D:\\Abs\\Usb\\|VID_1A2B&PID_0800");
  EXPECT_EQ(u.dependFiles, (std::vector<std::wstring>{L"tpusbco.dll", L"tpusb.cat"}));
  EXPECT_EQ(u.depend.directory, L"D:\\Shared\\Files\\");

  ASSERT_EQ(i.LoadDriver(1), 1);  // no option UI: its empty list empties the shared directory
  EXPECT_EQ(i.Driver().dependFiles.size(), 2u);
  EXPECT_EQ(i.Driver().depend.directory + i.Driver().sourceDirectory, L"");  // disk 4 of 3
  EXPECT_EQ(i.PrinterOptionServiceName(0) + L"|" + i.LanguageMonitorOptionServiceName(0) + L"|" +
                i.PortMonitorOptionSection(0, 0),
            L"Option Service|Monitor Service|Port Service");
  EXPECT_EQ(i.Driver().name, L"ORV TPX800 U3");  // lookups leave the current record alone
  EXPECT_EQ(i.LoadDriver(2), 0);
  EXPECT_EQ(i.Driver().name, L"");
}

TEST(SetupInformation, OtherOsCodeForEveryShareEntry) {
  Loaded l = Load(samples::kSampleInformation);
  SetupInformation& i = *l.info;
  const struct {
    int share, is64, code;
  } cases[] = {
      {0, 0, 5},   // OS1 = 2000, XP
      {0, 1, 1},   // OS6: Win7 is skipped, 95 ends the search
      {1, 0, 0},   // the driver has no OS9 line
      {1, 1, 0}, {2, 0, 10}, {2, 1, 10},
      {3, 0, 8},   // OS3 = XP64, 200364
      {3, 1, 1},   // OS7: "vista64" differs in case; nothing known is left
      {4, 0, 0},   // VER4 is empty
      {5, 0, 0}, {-1, 0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(i.OtherOsCode(c.share, 0, c.is64), c.code) << c.share << "/" << c.is64;
  EXPECT_EQ(i.OtherOsCode(0, 1, 0), 0);  // U3 exists only on OS2
  EXPECT_EQ(i.OtherOsCode(0, 2, 0), 0);

  ASSERT_EQ(i.Load(i.OtherOsCode(2, 0, 0) << 8, L"KVSetup.ini"), 1);
  EXPECT_EQ(i.OsIndex(), 4);
  EXPECT_EQ(i.DriverName(0), L"ORV TPX800 U1");
}

TEST(SetupInformation, LicenceFile) {
  Loaded l = Load(samples::kSampleInformation);
  EXPECT_EQ(l.info->LicenseFile(), L"D:\\Setup\\License.txt");
  EXPECT_EQ(l.info->LicenseFileExists(), 0);
  l.files->texts[L"D:\\Setup\\License.txt"] = L"Agree?";
  EXPECT_EQ(l.info->LicenseFileExists(), 1);
  std::wstring shown;
  EXPECT_EQ(l.info->ReadLicenseText([&](const std::wstring& t) { shown = t; }), 1);
  EXPECT_EQ(shown, L"Agree?");
  EXPECT_EQ(Load(L"[Information]\nLicense=\n").info->LicenseFileExists(), 0);
}

// Every file the package's information file names lies in the package folder.
TEST(SetupInformation, PackageFileNamesFilesThatExist) {
  std::ifstream in(std::filesystem::path(PACKAGE_DIR) / "KVSetup.ini", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::wstring ini = IniTextProfile::DecodeBytes(bytes.str());
  auto exist = [](const std::wstring& dir, std::initializer_list<std::vector<std::wstring>> lists) {
    ASSERT_EQ(dir.rfind(L"D:\\Setup\\", 0), 0u);
    for (const auto& names : lists) {
      for (const std::wstring& name : names) {
        std::string path = PACKAGE_DIR "/" + std::string(dir.begin() + 9, dir.end()) + std::string(name.begin(), name.end());
        std::replace(path.begin(), path.end(), '\\', '/');
        EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
      }
    }
  };
  for (int os = 1; os <= 11; ++os) {
    Loaded l = Load(ini, os << 8);
    SetupInformation& i = *l.info;
    ASSERT_EQ(l.result, 1);
    ASSERT_EQ(i.DriverCount(), os >= 5 ? 4 : 0) << os;
    exist(L"D:\\Setup\\", {{L"License.txt"}});
    for (int d = 0; d < i.DriverCount(); ++d) {
      ASSERT_EQ(i.LoadDriver(d) + i.LoadPortMonitor(d, 0) + i.LoadUsbDriver(d, 0, 0), 3);
      const setup_wizard::DriverRecord& r = i.Driver();
      EXPECT_EQ(r.name, L"ORV TPX800 U" + std::to_wstring(d + 1));
      exist(r.sourceDirectory, {{r.infFile, r.catalogFile, r.driverFile, r.graphicsFile, r.userInterfaceFile,
                                 r.userModeFile, r.dataFile, r.helpFile, r.langMonFile, r.printProcessorFile,
                                 r.printerOptionUi.file, r.langMonOptionUi.file}});
      exist(r.depend.directory, {r.dependFiles, r.printerOptionUi.dependFiles});
      exist(r.langMonDepend.directory, {r.langMonDependFiles, r.langMonOptionUi.dependFiles});
      exist(r.printProcessorDepend.directory, {r.printProcessorDependFiles});
      const setup_wizard::PortMonitorRecord& m = i.PortMonitor();
      EXPECT_EQ(m.optionUi.serviceName, m.optionUi.section);
      exist(m.sourceDirectory, {{m.infFile, m.monitorFile, m.optionUi.file}});
      exist(m.depend.directory, {m.dependFiles, m.optionUi.dependFiles});
      const setup_wizard::UsbDriverRecord& u = i.UsbDriver();
      exist(u.sourceDirectory, {{u.infFile, u.driverFile}});
      exist(u.depend.directory, {u.dependFiles});
    }
  }
}
