// The binding against the real stand-in DLL: loading, ordinals, __stdcall arguments and records.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/win/handles.h"
#include "robot.h"
#include "stack_probe.h"
#include "setup_wizard/support_library.h"
#include "setup_wizard/win/module_loader.h"

namespace {

using namespace setup_wizard;
namespace abi = support_abi;

std::string ReadAll(const std::wstring& path) {
  common::win::UniqueFile in(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string text;
  char chunk[4096];
  DWORD got = 0;
  while (in && ::ReadFile(in.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  return text;
}

class SupportBinding : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(robot::CopyInto(robot::ProgramFolder() + L"\\" + abi::kLibraryFileName, folder.Path()));
    ASSERT_TRUE(robot::CopyInto(robot::ProgramFolder() + L"\\LMOSSUPW_LACKING.DLL", folder.Path()));
    robot::WriteFile(folder / L"state.ini", "[System]\r\nOsCode=0x0A00\r\nJournal=journal.txt\r\n");
    ::SetEnvironmentVariableW(L"LMOSSUPW_STATE", (folder / L"state.ini").c_str());
  }
  void TearDown() override { ::SetEnvironmentVariableW(L"LMOSSUPW_STATE", nullptr); }

  robot::TempFolder folder;
  win::Win32ModuleLoader loader{::GetModuleHandleW(nullptr)};
};

TEST_F(SupportBinding, StandInBindsAndItsExportsTakeOurArgumentsAndRecords) {
  SupportLibrary library(loader);
  ASSERT_EQ(library.Bind(folder.Path()), 1);
  EXPECT_EQ(library.GetOsVersionCode(), 0x0A00);

  abi::MonitorRecord monitor{L"D:\\Disk1\\", L"tpxmon.dll", L"tpxmon.inf", nullptr, nullptr, 1, 0};
  int32_t restart = 1;
  EXPECT_EQ(library.InstallPortMonitor(L"TPX800 Monitor", &monitor, abi::kInstallFlags, &restart), 1);
  EXPECT_EQ(restart, 0);
  wchar_t port[abi::kPortNameChars] = {};
  ASSERT_EQ(library.AddPortOfMonitor(nullptr, L"TPX800 Monitor", port), 1);
  EXPECT_STREQ(port, L"TPX800 Monitor Port");
  EXPECT_EQ(library.Ports(L"TPX800 Monitor"), std::vector<std::wstring>{port});
  EXPECT_EQ(library.CountPorts(L""), 1);
  EXPECT_EQ(library.MonitorOfPort(port), L"TPX800 Monitor");

  RecordBuilder build;
  DriverRecord driver;
  driver.driverFile = L"tpx.dll";
  driver.langMonName = L"TPX LangMon";
  driver.printProcessorFile = L"tpxpp.dll";
  const abi::DriverRecord driverRecord = build.Driver(driver);
  EXPECT_EQ(library.InstallPrinterDriver(L"ORV TPX800 U1", &driverRecord, abi::kInstallFlags, 0, 0), 1);
  const abi::ProcessorRecord processor = build.Processor(driver);
  EXPECT_EQ(library.InstallPrintProcessor(L"TPXPP", &processor, abi::kInstallFlags, 0), 1);
  EXPECT_EQ(library.DataTypes(L"TPXPP").front(), L"RAW");
  const abi::PrinterRecord printer = build.Printer(L"ORV TPX800 U1", port, L"TPX", L"TPXPP", L"RAW");
  EXPECT_EQ(library.AddPrinterWithProcessor(L"Front desk", &printer, 0, PrinterAttributes(L"RAW", true)), 1);
  EXPECT_EQ(library.PrintersOfDriver(L"ORV TPX800 U1"), std::vector<std::wstring>{L"Front desk"});
  EXPECT_EQ(library.CountPrintersOfDriver(L"ORV TPX800 U1"), 1);

  EXPECT_EQ(library.ValidatePrinterName(L"Front desk"), 0);
  int32_t written = abi::kStatusUnset;
  library.GetLastSupportStatus(&written);
  EXPECT_EQ(written, abi::kStatusNameInUse);
  EXPECT_EQ(library.IsShareNameUsed(L"tpx", 0), 1);
  library.release();
  EXPECT_EQ(::GetModuleHandleW((folder / abi::kLibraryFileName).c_str()), nullptr);

  // What the first binding did persists for the next one.
  const std::string state = ReadAll(folder / L"state.ini");
  EXPECT_NE(state.find("[Printer:Front desk]"), std::string::npos);
  EXPECT_NE(state.find("Processor=TPXPP"), std::string::npos);
  EXPECT_NE(state.find("Attributes=0x1000004"), std::string::npos);
  SupportLibrary again(loader);
  ASSERT_EQ(again.Bind(folder.Path()), 1);
  EXPECT_EQ(again.IsPrinterDriverInstalled(L"orv tpx800 u1", 0), 1);
  EXPECT_NE(ReadAll(folder / L"journal.txt").find("AddPrinterWithProcessor(\"Front desk\", \"ORV TPX800 U1\""),
            std::string::npos);
}

TEST_F(SupportBinding, LibraryLackingOneOrdinalIsRefusedAndUnloaded) {
  SupportLibrary library(loader);
  EXPECT_EQ(library.Bind(folder.Path(), L"LMOSSUPW_LACKING.DLL"), 0);
  EXPECT_EQ(::GetModuleHandleW((folder / L"LMOSSUPW_LACKING.DLL").c_str()), nullptr);
  EXPECT_EQ(library.GetOsVersionCode(), 0);
  EXPECT_EQ(library.Bind(folder.Path(), L"NOSUCH.DLL"), 0);
}

TEST_F(SupportBinding, ForcedFailureFromTheStateFile) {
  robot::WriteFile(folder / L"state.ini", "[Fail]\r\nGetOsVersionCode=1150*1\r\n");
  SupportLibrary library(loader);
  ASSERT_EQ(library.Bind(folder.Path()), 1);
  EXPECT_EQ(library.GetOsVersionCode(), 0);
  int32_t written = 0;
  EXPECT_EQ(library.GetLastSupportStatus(&written), 1150);
  EXPECT_EQ(library.GetOsVersionCode(), 0x0600);  // the one failure is used up
}

#if defined(__i386__)
// The wizard binds the stand-in's ordinals as __stdcall: each must pop its own arguments.
TEST_F(SupportBinding, StandInExportsPopTheirOwnArguments) {
  common::win::UniqueModule library(::LoadLibraryW((folder / L"LMOSSUPW.DLL").c_str()));
  ASSERT_TRUE(library);
  const auto ordinal = [&](int number) {
    return reinterpret_cast<const void*>(::GetProcAddress(library.get(), MAKEINTRESOURCEA(number)));
  };
  const wchar_t name[] = L"No Such Printer";
  const auto text = reinterpret_cast<std::uintptr_t>(name);
  for (int number : {abi::kIsPrinterInstalled, abi::kIsPortInstalled, abi::kIsShareNameUsed}) {
    ASSERT_NE(ordinal(number), nullptr) << number;
    EXPECT_EQ(robot::StackBytesLeftAfterCall(ordinal(number), {text, 0}), 0) << "ordinal " << number;
  }
}
#endif

}  // namespace
