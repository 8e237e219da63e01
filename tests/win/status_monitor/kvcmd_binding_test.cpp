// The real binding of the printer command library: by file name, each function by name.
#include <gtest/gtest.h>

#include "robot.h"
#include "status_monitor/common.h"
#include "status_monitor/win/kvcmd_library.h"

namespace monitor::win {
namespace {

// Never-polling event loop: the binding test makes no waits.
struct NoEvents : EventLoop {
  void StartTimer(TimerId, int) override {}
  void StopTimer(TimerId) override {}
  bool WaitForNextEvent() override { return false; }
  void ProcessPendingEvents() override {}
};

constexpr char kTwoPrinters[] =
    "[Printer0]\nConnected=1\nStatus=ready\nState=ready\nInkType=YMCKOP\nLot=LOT-B\n"
    "[Printer3]\nConnected=1\nStatus=door_open\nState=ready\n";

class Binding : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(robot::WriteFile(folder / L"printers.ini", kTwoPrinters));
    ::SetEnvironmentVariableW(L"QLC07RT_STATE", (folder / L"printers.ini").c_str());
  }
  void TearDown() override { ::SetEnvironmentVariableW(L"QLC07RT_STATE", nullptr); }
  robot::TempFolder folder;
};

TEST_F(Binding, ScansAndReadsTheStandIn) {
  KvcmdLibrary library;  // QLC07RT.dll beside this test program
  NoEvents events;
  Common common(library, events);
  ASSERT_EQ(common.ScanPrinters(), 0);
  ASSERT_EQ(common.Printers().count, 2);
  EXPECT_EQ(common.Printers().units[0], 0);
  EXPECT_EQ(common.Printers().units[1], 3);
  EXPECT_EQ(common.Printers().unitText, "1");

  common.ReadStatus();
  EXPECT_EQ(common.Info().statusCode, 0);
  EXPECT_EQ(common.RefreshPrinterInfo(), 0);
  EXPECT_EQ(common.Info().lotNumber, "LOT-B");
  EXPECT_EQ(common.Info().inkType, 0);

  common.SelectPrinter(1);
  common.ReadStatus();
  EXPECT_EQ(common.Info().statusCode, -0x01020480) << "door open";
}

TEST_F(Binding, MissingLibraryFailsEveryCallWithFileNotFound) {
  KvcmdLibrary library(L"NoSuchPrinterLibrary.dll");
  int32_t handle = 0, unit = 0;
  const KvResult result = library.ScanKV450(handle, unit);
  EXPECT_EQ(result.failure, BindFailure::FileNotFound);
  NoEvents events;
  Common common(library, events);
  EXPECT_EQ(common.ScanPrinters(), kLibraryMissing);
  EXPECT_EQ(common.Printers().count, 0);
}

TEST_F(Binding, ALibraryWithoutTheFunctionFailsThatCallOnly) {
  KvcmdLibrary library(L"kernel32.dll");  // loads, but has none of the functions
  int32_t handle = 0, unit = 0;
  EXPECT_EQ(library.ScanKV450(handle, unit).failure, BindFailure::EntryNotFound);
  NoEvents events;
  Common common(library, events);
  EXPECT_NE(common.ScanPrinters(), kLibraryMissing) << "only a missing file ends the program";
}

}  // namespace
}  // namespace monitor::win
