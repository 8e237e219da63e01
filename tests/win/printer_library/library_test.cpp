// QLC07RT.dll loaded the way the monitor loads it: by file name, functions bound by undecorated name.
#include "common/win/handles.h"
#include "common/win_path.h"
#include "status_monitor/kvcmd_abi.h"
#include "stack_probe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using common::win::UniqueModule;

std::wstring ProgramDirectory() {
  wchar_t path[MAX_PATH];
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return common::DirectoryOf(path);
}

void WriteText(const std::wstring& path, const std::string& text) {
  std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc) << text;
}

std::string ReadText(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class PrinterLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    dir_ = common::JoinPath(temp, L"qlc07rt-test-" + std::to_wstring(::GetCurrentProcessId()));
    ::CreateDirectoryW(dir_.c_str(), nullptr);
    state_ = common::JoinPath(dir_, L"state.ini");
    journal_ = common::JoinPath(dir_, L"journal.txt");
    WriteText(state_, "[Printer0]\r\n[Printer1]\r\nStatus=ready\r\n[Printer2]\r\nInkQuantity=3\r\n");
    ::SetEnvironmentVariableW(L"QLC07RT_STATE", state_.c_str());
    ::SetEnvironmentVariableW(L"QLC07RT_JOURNAL", journal_.c_str());
    Load();
  }
  void TearDown() override {
    library_.reset();
    ::SetEnvironmentVariableW(L"QLC07RT_STATE", nullptr);
    ::SetEnvironmentVariableW(L"QLC07RT_JOURNAL", nullptr);
    for (const wchar_t* name : {L"state.ini", L"journal.txt", L"log.txt", L"printers.ini", kvcmd_abi::kLibraryFileName}) ::DeleteFileW(common::JoinPath(dir_, name).c_str());
    ::RemoveDirectoryW(dir_.c_str());
  }
  void Load() {
    library_.reset(::LoadLibraryW(common::JoinPath(ProgramDirectory(), kvcmd_abi::kLibraryFileName).c_str()));
    ASSERT_TRUE(library_);
  }
  template <typename F>
  F Bind(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(library_.get(), name)));
  }
  std::vector<int32_t> ScanUnits() {
    const auto first = Bind<kvcmd_abi::ScanKV450>("KVCMD_ScanKV450");
    const auto next = Bind<kvcmd_abi::ScanKV450Next>("KVCMD_ScanKV450Next");
    std::vector<int32_t> units;
    int32_t handle = 0, unit = 0;
    int32_t result = first(&handle, &unit);
    while (result == 0 && units.size() < 16) {
      units.push_back(unit);
      result = next(&handle, &unit);
    }
    EXPECT_EQ(result, -0x09000002);
    return units;
  }

  std::wstring dir_, state_, journal_;
  UniqueModule library_;
};

TEST_F(PrinterLibrary, ExportsEveryFunctionByItsPlainName) {
  for (const char* name : {"KVCMD_ScanKV450", "KVCMD_ScanKV450Next", "KVCMD_TestUnitReady", "KVCMD_GetPrinterStatus",
                           "KVCMD_LogSense", "KVCMD_ModeSense", "KVCMD_ModeSelect", "KVCMD_StandardInquiry",
                           "KVCMD_VPDInquiry", "KVCMD_SendDiagnostic", "KVCMD_LogSelect", "KVCMD_UpdateFirmware",
                           "KVCMD_GetLogMessageAsFile", "KVCMD_ReadPosition"}) {
    EXPECT_NE(::GetProcAddress(library_.get(), name), nullptr) << name;
  }
}

TEST_F(PrinterLibrary, ScansThePrintersOfTheStateFileAndSeesItChange) {
  EXPECT_EQ(ScanUnits(), (std::vector<int32_t>{0, 1, 2}));
  int32_t handle = 0, unit = 0;
  Bind<kvcmd_abi::ScanKV450>("KVCMD_ScanKV450")(&handle, &unit);
  Bind<kvcmd_abi::ScanKV450Next>("KVCMD_ScanKV450Next")(&handle, &unit);
  const auto ready = Bind<kvcmd_abi::TestUnitReady>("KVCMD_TestUnitReady");
  EXPECT_EQ(ready(handle, unit), 0);

  WriteText(state_, "[Printer0]\r\n[Printer1]\r\nStatus=door_open\r\n[Printer2]\r\nConnected=0\r\n");
  EXPECT_EQ(ready(handle, unit), -0x01020480);
  EXPECT_EQ(ScanUnits(), (std::vector<int32_t>{0, 1}));
  EXPECT_NE(ReadText(journal_).find("KVCMD_TestUnitReady unit=1 result=-0x01020480\r\n"), std::string::npos);
}

TEST_F(PrinterLibrary, SettingsAndLogAreWrittenToFiles) {
  int32_t handle = 0, unit = 0;
  ASSERT_EQ(Bind<kvcmd_abi::ScanKV450>("KVCMD_ScanKV450")(&handle, &unit), 0);
  uint8_t buffer[kvcmd_abi::kDataBufferSize] = {};
  ASSERT_EQ(Bind<kvcmd_abi::ModeSense>("KVCMD_ModeSense")(handle, unit, 0x2B, buffer), 0);
  buffer[7] = 140;
  ASSERT_EQ(Bind<kvcmd_abi::ModeSelect>("KVCMD_ModeSelect")(handle, unit, 0x2B, buffer), 0);
  EXPECT_NE(ReadText(state_).find("[Printer0]\r\nPositionX=140\r\n"), std::string::npos) << ReadText(state_);

  const std::wstring log = common::JoinPath(dir_, L"log.txt");
  std::string pathBytes;
  for (wchar_t c : log) pathBytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  pathBytes += std::string(2, '\0');
  const auto write = Bind<kvcmd_abi::GetLogMessageAsFile>("KVCMD_GetLogMessageAsFile");
  ASSERT_EQ(write(handle, unit, reinterpret_cast<const uint8_t*>(pathBytes.data())), 0);
  EXPECT_NE(ReadText(log).find("ModeSelect"), std::string::npos);
}

TEST_F(PrinterLibrary, ReadsPrintersIniBesideItselfByDefault) {
  library_.reset();
  ::SetEnvironmentVariableW(L"QLC07RT_STATE", nullptr);
  const std::wstring copy = common::JoinPath(dir_, kvcmd_abi::kLibraryFileName);
  ASSERT_TRUE(::CopyFileW(common::JoinPath(ProgramDirectory(), kvcmd_abi::kLibraryFileName).c_str(), copy.c_str(), FALSE));
  WriteText(common::JoinPath(dir_, L"printers.ini"), "[Printer3]\r\n[Printer9]\r\n");
  library_.reset(::LoadLibraryW(copy.c_str()));
  ASSERT_TRUE(library_);
  EXPECT_EQ(ScanUnits(), (std::vector<int32_t>{3, 9}));
  library_.reset();
  ::DeleteFileW(copy.c_str());
}

#if defined(__i386__)
// The monitor declares the functions __stdcall: each must pop its own arguments.
TEST_F(PrinterLibrary, ScanFunctionsPopTheirOwnArguments) {
  int32_t handle = 0, unit = 0;
  const std::uintptr_t args[] = {reinterpret_cast<std::uintptr_t>(&handle), reinterpret_cast<std::uintptr_t>(&unit)};
  for (const char* name : {"KVCMD_ScanKV450", "KVCMD_ScanKV450Next"}) {
    const void* function = reinterpret_cast<const void*>(::GetProcAddress(library_.get(), name));
    ASSERT_NE(function, nullptr) << name;
    EXPECT_EQ(robot::StackBytesLeftAfterCall(function, {args[0], args[1]}), 0) << name;
  }
}
#endif

}  // namespace
