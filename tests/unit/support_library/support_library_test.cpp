#include "setup_wizard/support_library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

using namespace setup_wizard;
namespace abi = support_abi;

// A module whose exports are the functions below, minus any ordinal a test removes.
class FakeLoader : public ModuleLoader {
 public:
  std::wstring directory = L"C:\\Driver";
  std::map<uint16_t, void*> exports;
  bool loadWorks = true;
  std::vector<std::wstring> loads;
  int unloads = 0;
  bool loaded = false;

  std::wstring OwnDirectory() override { return directory; }
  bool Load(const std::wstring& path) override {
    loads.push_back(path);
    loaded = loadWorks;
    return loadWorks;
  }
  void* Procedure(uint16_t ordinal) override {
    const auto it = exports.find(ordinal);
    return loaded && it != exports.end() ? it->second : nullptr;
  }
  void Unload() override {
    ++unloads;
    loaded = false;
  }
};

int32_t OsCode() { return 0x0A00; }
int32_t Dummy() { return 7; }

// A port list answering the two-call protocol, remembering what it was asked.
std::vector<uint32_t> g_sizes;
std::vector<std::wstring> g_monitors;  // "<null>" for a null name
int32_t Ports(wchar_t* buffer, uint32_t size, uint32_t* needed, uint32_t, const wchar_t* monitor) {
  static const wchar_t kNames[] = L"LPT1:\0TPX800 Port\0";
  const uint32_t chars = 18;
  g_sizes.push_back(size);
  g_monitors.push_back(monitor ? monitor : L"<null>");
  if (needed) *needed = chars;
  if (buffer && size >= chars) std::memcpy(buffer, kNames, chars * sizeof(wchar_t));
  return 2;
}
int32_t MonitorOf(wchar_t* buffer, uint32_t size, uint32_t* needed, const wchar_t*) {
  if (needed) *needed = 8;
  if (!buffer || size < 8) return 0;
  std::memcpy(buffer, L"TPX Mon", 8 * sizeof(wchar_t));
  return 1;
}
// A broken library: a size far beyond any list.
int32_t HugeSize(wchar_t*, uint32_t, uint32_t* needed, uint32_t) {
  if (needed) *needed = 0xFFFFFFFFu;
  return 3;
}

FakeLoader FullLibrary() {
  FakeLoader l;
  for (uint16_t o : abi::kOrdinals) l.exports[o] = reinterpret_cast<void*>(&Dummy);
  l.exports[abi::kGetOsVersionCode] = reinterpret_cast<void*>(&OsCode);
  l.exports[abi::kEnumPorts] = reinterpret_cast<void*>(&Ports);
  l.exports[abi::kGetMonitorOfPort] = reinterpret_cast<void*>(&MonitorOf);
  return l;
}

TEST(SupportLibraryBinding, ResolvesEveryOrdinalInOrderFromTheModuleDirectory) {
  FakeLoader loader = FullLibrary();
  SupportLibrary library(loader);
  ASSERT_EQ(library.Bind(), 1);
  EXPECT_EQ(loader.loads, std::vector<std::wstring>{L"C:\\Driver\\LMOSSUPW.DLL"});
  ASSERT_EQ(library.Table().size(), 49u);
  for (size_t i = 0; i < abi::kOrdinals.size(); ++i) {
    EXPECT_EQ(library.Table()[i].ordinal, abi::kOrdinals[i]);
    EXPECT_NE(library.Table()[i].address, nullptr);
  }
  EXPECT_EQ(library.Table()[12].ordinal, 25);  // 25 is bound before 24, 73 before 72
  EXPECT_EQ(library.Table()[38].ordinal, 73);
  EXPECT_EQ(library.GetOsVersionCode(), 0x0A00);
  EXPECT_EQ(library.CheckSetupPreconditions(), 7);
}

TEST(SupportLibraryBinding, GivenDirectoryAndNameReplaceTheDefaults) {
  FakeLoader loader = FullLibrary();
  SupportLibrary library(loader);
  EXPECT_EQ(library.Bind(L"D:\\Other", L"ALT.DLL"), 1);
  EXPECT_EQ(library.Bind(L"D:\\Other\\"), 1);
  EXPECT_EQ(loader.loads, (std::vector<std::wstring>{L"D:\\Other\\ALT.DLL", L"D:\\Other\\LMOSSUPW.DLL"}));
  EXPECT_EQ(loader.unloads, 1);  // the second bind released the first
}

TEST(SupportLibraryBinding, OneMissingOrdinalUnloadsAndEveryWrapperAnswersZero) {
  for (uint16_t missing : {uint16_t{1}, uint16_t{42}, uint16_t{83}}) {
    FakeLoader loader = FullLibrary();
    loader.exports.erase(missing);
    SupportLibrary library(loader);
    EXPECT_EQ(library.Bind(), 0) << missing;
    EXPECT_EQ(loader.unloads, 1);
    EXPECT_FALSE(library.Bound());
    EXPECT_EQ(library.GetOsVersionCode(), 0);
    EXPECT_EQ(library.CheckSetupPreconditions(), 0);
    EXPECT_TRUE(library.Ports(L"").empty());
  }
}

TEST(SupportLibraryBinding, RefusesWhatCannotBeLoadedOrNamed) {
  FakeLoader missing = FullLibrary();
  missing.loadWorks = false;
  SupportLibrary a(missing);
  EXPECT_EQ(a.Bind(), 0);
  EXPECT_EQ(missing.unloads, 0);

  // No directory would mean a search along the path; a too-long path would name another file.
  FakeLoader nowhere = FullLibrary();
  nowhere.directory.clear();
  SupportLibrary b(nowhere);
  EXPECT_EQ(b.Bind(), 0);
  FakeLoader deep = FullLibrary();
  deep.directory = L"C:\\" + std::wstring(250, L'd');
  SupportLibrary c(deep);
  EXPECT_EQ(c.Bind(), 0);
  EXPECT_TRUE(nowhere.loads.empty());
  EXPECT_TRUE(deep.loads.empty());
}

TEST(SupportLibraryBinding, ReleaseAndDestructionUnloadOnce) {
  FakeLoader loader = FullLibrary();
  {
    SupportLibrary library(loader);
    ASSERT_EQ(library.Bind(), 1);
    library.release();
    library.release();
    EXPECT_EQ(library.GetOsVersionCode(), 0);
  }
  EXPECT_EQ(loader.unloads, 1);
  {
    SupportLibrary library(loader);
    ASSERT_EQ(library.Bind(), 1);
  }
  EXPECT_EQ(loader.unloads, 2);
}

TEST(SupportLibraryEnumeration, AsksForTheSizeThenFillsRoomForOneMore) {
  FakeLoader loader = FullLibrary();
  SupportLibrary library(loader);
  ASSERT_EQ(library.Bind(), 1);
  g_sizes.clear();
  g_monitors.clear();
  EXPECT_EQ(library.Ports(L"TPX800 Monitor"), (std::vector<std::wstring>{L"LPT1:", L"TPX800 Port"}));
  EXPECT_EQ(g_sizes, (std::vector<uint32_t>{0, 18}));
  EXPECT_EQ(g_monitors.at(0), L"TPX800 Monitor");
  g_monitors.clear();
  EXPECT_EQ(library.Ports(L"").size(), 2u);
  EXPECT_EQ(g_monitors.at(0), L"<null>");  // every port: no monitor name
  EXPECT_EQ(library.CountPorts(L""), 2);
  EXPECT_EQ(library.MonitorOfPort(L"TPX800 Port"), L"TPX Mon");
}

TEST(SupportLibraryEnumeration, BrokenAnswersNeverReadOrAllocateWildly) {
  FakeLoader loader = FullLibrary();
  loader.exports[abi::kEnumPortMonitors] = reinterpret_cast<void*>(&HugeSize);
  SupportLibrary library(loader);
  ASSERT_EQ(library.Bind(), 1);
  EXPECT_TRUE(library.PortMonitors().empty());

  // A count beyond the names, and a last name without its NUL, stay inside the buffer.
  const wchar_t unterminated[] = {L'a', 0, L'b', L'c'};
  EXPECT_EQ(SplitNames(unterminated, 4, 5), (std::vector<std::wstring>{L"a", L"bc"}));
  EXPECT_EQ(SplitNames(L"x\0y\0", 4, 1), std::vector<std::wstring>{L"x"});
  EXPECT_TRUE(SplitNames(nullptr, 4, 2).empty());
}

TEST(SupportRecords, DriverFieldsForInstallationDeletionAndOtherSystems) {
  DriverRecord d;
  d.sourceDirectory = L"D:\\Disk1\\";
  d.driverFile = L"drv.dll";
  d.infFile = L"drv.inf";
  d.depend.directory = L"D:\\Disk1\\dep\\";
  d.dependFiles = {L"a.dll", L"b.dll"};
  d.langMonName = L"LM";
  d.langMonFile = L"lm.dll";
  d.checkInf = 1;
  d.expandedFile = 1;
  d.manufacturer = L"Maker";
  d.hardwareId = L"USBPRINT\\X";
  RecordBuilder build;
  const abi::DriverRecord install = build.Driver(d);
  EXPECT_EQ(std::wstring(install.driverFile), L"drv.dll");
  EXPECT_EQ(install.graphicsFile, nullptr);  // absent text is a null pointer
  ASSERT_NE(install.dependentFiles, nullptr);
  EXPECT_EQ(std::wmemcmp(install.dependentFiles, L"a.dll\0b.dll\0\0", 13), 0);
  EXPECT_EQ(std::wstring(install.languageMonitorName), L"LM");
  EXPECT_EQ(install.checkInf, 1u);
  EXPECT_EQ(install.expandedFile, 1u);
  EXPECT_EQ(std::wstring(install.manufacturer), L"Maker");

  const abi::DriverRecord removal = build.Driver(d, DriverFields::kDelete);
  EXPECT_EQ(std::wstring(removal.languageMonitorFile), L"lm.dll");
  EXPECT_EQ(std::wstring(removal.hardwareId), L"USBPRINT\\X");
  EXPECT_EQ(removal.checkInf, 0u);
  EXPECT_EQ(removal.manufacturer, nullptr);

  const abi::DriverRecord other = build.Driver(d, DriverFields::kOtherOsDelete);
  EXPECT_NE(other.dependentFiles, nullptr);
  EXPECT_EQ(other.languageMonitorName, nullptr);
  EXPECT_EQ(other.hardwareId, nullptr);

  // The records keep their own text: refilling the information's record changes nothing.
  d.driverFile = L"changed.dll";
  EXPECT_EQ(std::wstring(install.driverFile), L"drv.dll");
}

TEST(SupportRecords, MonitorUsbProcessorAndPrinterRecords) {
  RecordBuilder build;
  PortMonitorRecord m;
  m.sourceDirectory = L"S\\";
  m.monitorFile = L"mon.dll";
  m.infFile = L"mon.inf";
  m.checkInf = 0;
  const abi::MonitorRecord mr = build.PortMonitor(m);
  EXPECT_EQ(std::wstring(mr.file), L"mon.dll");
  EXPECT_EQ(std::wstring(mr.infFile), L"mon.inf");
  EXPECT_EQ(mr.dependentFiles, nullptr);
  EXPECT_EQ(mr.checkInf, 0u);

  DriverRecord d;
  d.sourceDirectory = L"S\\";
  d.langMonFile = L"lm.dll";
  d.expandedFile = 1;
  d.printProcessorFile = L"pp.dll";
  d.printProcessorDependFiles = {L"pp.dat"};
  const abi::MonitorRecord lm = build.LanguageMonitor(d);
  EXPECT_EQ(std::wstring(lm.file), L"lm.dll");
  EXPECT_EQ(lm.infFile, nullptr);
  EXPECT_EQ(lm.checkInf, 0u);
  EXPECT_EQ(lm.expandedFile, 1u);
  const abi::ProcessorRecord pr = build.Processor(d);
  EXPECT_EQ(std::wstring(pr.file), L"pp.dll");
  EXPECT_EQ(std::wstring(pr.dependentFiles), L"pp.dat");

  UsbDriverRecord u;
  u.driverFile = L"usb.sys";
  u.infFile = L"usb.inf";
  const abi::UsbDriverRecord ur = build.UsbDriver(u);
  EXPECT_EQ(std::wstring(ur.file), L"usb.sys");
  EXPECT_EQ(ur.checkInf, 1u);

  const abi::PrinterRecord p = build.Printer(L"Drv", L"Port1", L"", L"PP", L"RAW");
  EXPECT_EQ(std::wstring(p.driverName), L"Drv");
  EXPECT_EQ(p.shareName, nullptr);  // not shared
  EXPECT_EQ(std::wstring(p.processorName), L"PP");
  EXPECT_EQ(p.reserved1, nullptr);
}

TEST(SupportRecords, PrinterAttributesFollowTheDataType) {
  EXPECT_EQ(PrinterAttributes(L"RAW", false), 0x1000000u);
  EXPECT_EQ(PrinterAttributes(L"raw", true), 0x1000004u);
  EXPECT_EQ(PrinterAttributes(L"NT EMF", false), 0x2000000u);
  EXPECT_EQ(PrinterAttributes(L"", true), 0x2000004u);
}

}  // namespace
