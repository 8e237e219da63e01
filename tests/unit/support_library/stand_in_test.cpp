#include "stand_ins/support_library/simulation.h"

#include <gtest/gtest.h>

namespace {

using namespace support_stand_in;
namespace abi = support_abi;

constexpr wchar_t kState[] =
    L"; a system with one printer on our monitor\n"
    L"[System]\nOsCode=0x0B00\nPreconditions=0\nPreconditionStatus=5\nShares=PUBLIC, Users\n"
    L"[Fail]\nInstallPortMonitor=1603*2\n83=32\n"
    L"[Status]\nValidatePrinterName=1801\n"
    L"[Printer:Office]\nDriver=TPX Driver\nPort=TPX800 Port\nShare=OFFICE\nJobs=2\n"
    L"[Port:TPX800 Port]\nMonitor=TPX Monitor\n"
    L"[Port:LPT1:]\nMonitor=Local Port\n"
    L"[Monitor:TPX Monitor]\nFile=tpxmon.dll\nNewPort=TPX800 Port\n"
    L"[Monitor:Local Port]\nFile=localspl.dll\n"
    L"[Driver:TPX Driver]\nFile=tpx.dll\nOtherOs=0x0500\n"
    L"[Processor:TPXPP]\nDataTypes=RAW,NT EMF 1.008\n"
    L"[Service:TPXSVC]\nRunning=1\n";

class StandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    ParseResult parsed = ParseState(kState);
    ASSERT_TRUE(parsed.problems.empty()) << parsed.problems.front().size();
    state = parsed.state;
  }
  std::vector<std::wstring> Names(int32_t (Simulation::*enumerate)(wchar_t*, uint32_t, uint32_t*, const wchar_t*),
                                  const wchar_t* filter) {
    Simulation sim(state, 0);
    uint32_t needed = 0;
    const int32_t count = (sim.*enumerate)(nullptr, 0, &needed, filter);
    std::wstring buffer(needed + 1, L'\0');
    EXPECT_EQ((sim.*enumerate)(buffer.data(), needed, &needed, filter), count);
    std::vector<std::wstring> out;
    for (size_t at = 0; static_cast<int32_t>(out.size()) < count; at = buffer.find(L'\0', at) + 1) {
      out.emplace_back(buffer.c_str() + at);
    }
    return out;
  }
  State state;
};

TEST_F(StandIn, StateFileRoundTripsAndReportsBadLines) {
  const ParseResult again = ParseState(FormatState(state));
  EXPECT_TRUE(again.problems.empty());
  EXPECT_EQ(FormatState(again.state), FormatState(state));
  EXPECT_EQ(again.state.osCode, 0x0B00u);
  EXPECT_EQ(again.state.failures.at(44).remaining, 2);
  EXPECT_EQ(again.state.failures.at(83).remaining, -1);
  EXPECT_EQ(again.state.printers.at(0).jobs, 2u);

  const ParseResult bad = ParseState(L"[System]\nOsCode=banana\nno equals sign\n[Fail]\nNoSuchExport=5\n");
  EXPECT_EQ(bad.problems.size(), 3u);
  EXPECT_EQ(bad.state.osCode, 0x0600u);  // unchanged default
}

TEST(StandInExports, EveryBoundOrdinalHasANameThatLeadsBack) {
  for (uint16_t ordinal : abi::kOrdinals) {
    const std::wstring_view name = ExportName(ordinal);
    ASSERT_FALSE(name.empty()) << ordinal;
    EXPECT_EQ(OrdinalOf(name), ordinal);
    EXPECT_EQ(OrdinalOf(std::to_wstring(ordinal)), ordinal);
  }
  EXPECT_FALSE(OrdinalOf(L"6").has_value());
}

TEST_F(StandIn, PreconditionsAndStatusReporting) {
  Simulation sim(state, 0);
  EXPECT_EQ(sim.GetOsVersionCode(), 0x0B00);
  EXPECT_EQ(sim.CheckSetupPreconditions(), 0);
  int32_t written = abi::kStatusUnset;
  EXPECT_EQ(sim.GetLastSupportStatus(&written), 5);
  EXPECT_EQ(written, 5);
  // [Status] replaces the natural status of a failure.
  EXPECT_EQ(sim.ValidatePrinterName(L"office"), 0);
  EXPECT_EQ(sim.LastStatus(), 1801);
  state.statuses.clear();
  EXPECT_EQ(sim.ValidatePrinterName(L"Office"), 0);
  EXPECT_EQ(sim.LastStatus(), abi::kStatusNameInUse);
  EXPECT_EQ(sim.ValidatePrinterName(L"New, printer"), 0);
  EXPECT_EQ(sim.ValidatePrinterName(L"Lobby"), 1);
  EXPECT_FALSE(sim.Modified());
}

TEST_F(StandIn, ForcedFailuresCountDownAndAreJournaled) {
  Simulation sim(state, 0);
  abi::MonitorRecord record{L"S\\", L"new.dll", nullptr, nullptr, nullptr, 1, 0};
  int32_t restart = -1;
  auto install = [&](Simulation& s) { return s.InstallPortMonitor(L"TPX Monitor", &record, &restart); };
  EXPECT_EQ(sim.Run(abi::kInstallPortMonitor, install, L"TPX Monitor", 8u), 0);
  EXPECT_EQ(sim.LastStatus(), 1603);
  EXPECT_EQ(sim.Run(abi::kInstallPortMonitor, install, L"TPX Monitor", 8u), 0);
  EXPECT_EQ(sim.Run(abi::kInstallPortMonitor, install, L"TPX Monitor", 8u), 1);
  EXPECT_EQ(restart, 0);
  EXPECT_EQ(state.failures.count(44), 0u);  // used up
  EXPECT_EQ(sim.Run(abi::kReplacePortMonitor, [&](Simulation& s) { return s.ReplacePortMonitor(L"x", &record); }), 0);
  EXPECT_EQ(state.failures.count(83), 1u);  // fails every time
  ASSERT_EQ(sim.Journal().size(), 4u);
  EXPECT_EQ(sim.Journal()[0], L"InstallPortMonitor(\"TPX Monitor\", 8) = 0");
  EXPECT_TRUE(sim.Modified());
}

TEST_F(StandIn, EnumerationProtocolAndFilters) {
  EXPECT_EQ(Names(&Simulation::EnumPorts, nullptr), (std::vector<std::wstring>{L"TPX800 Port", L"LPT1:"}));
  EXPECT_EQ(Names(&Simulation::EnumPorts, L"tpx monitor"), std::vector<std::wstring>{L"TPX800 Port"});
  EXPECT_EQ(Names(&Simulation::EnumPrintersOfDriver, L"TPX Driver"), std::vector<std::wstring>{L"Office"});
  EXPECT_EQ(Names(&Simulation::EnumDataTypes, L"TPXPP"), (std::vector<std::wstring>{L"RAW", L"NT EMF 1.008"}));
  Simulation sim(state, 0);
  EXPECT_EQ(sim.EnumPorts(nullptr, 0, nullptr, nullptr), 2);  // a count alone
  wchar_t small[4];
  uint32_t needed = 0;
  EXPECT_EQ(sim.EnumPorts(small, 4, &needed, nullptr), 0);
  EXPECT_EQ(needed, 18u);
  EXPECT_EQ(sim.LastStatus(), kInsufficientBuffer);
  wchar_t monitor[32];
  EXPECT_EQ(sim.GetMonitorOfPort(nullptr, 0, &needed, L"LPT1:"), 0);
  EXPECT_EQ(needed, 11u);
  EXPECT_EQ(sim.GetMonitorOfPort(monitor, needed, &needed, L"LPT1:"), 1);
  EXPECT_EQ(std::wstring(monitor), L"Local Port");
}

TEST_F(StandIn, InstallThenDeleteLeavesTheSystemAsItWas) {
  state.printers.clear();
  const std::wstring before = FormatState(state);
  Simulation sim(state, 0);
  wchar_t port[abi::kPortNameChars];
  EXPECT_EQ(sim.AddPortOfMonitor(L"TPX Monitor", port), 1);
  EXPECT_EQ(std::wstring(port), L"TPX800 Port 2");  // the first name is taken
  abi::DriverRecord driver{};
  driver.driverFile = L"new.dll";
  driver.languageMonitorName = L"TPX LangMon";
  EXPECT_EQ(sim.InstallPrinterDriver(L"New Driver", &driver, 0), 1);
  EXPECT_EQ(sim.IsPrinterDriverInstalled(L"new driver"), 1);
  EXPECT_EQ(sim.AddPrinter(L"Desk", L"New Driver", port, L"users", nullptr, nullptr, 0x1000004), 0);
  EXPECT_EQ(sim.LastStatus(), kDuplicateShare);
  EXPECT_EQ(sim.AddPrinter(L"Desk", L"New Driver", port, nullptr, nullptr, nullptr, 0x1000004), 1);
  EXPECT_EQ(sim.IsShareNameUsed(L"public"), 1);
  EXPECT_EQ(sim.QueryMonitorFile(L"TPX LangMon", abi::kQueryInstalledFile, L"lm.dll", port), 1);
  EXPECT_EQ(std::wstring(port), L"C:\\windows\\system32\\lm.dll");

  // The monitor serves Desk: refused unless forced; the driver takes its printers along.
  EXPECT_EQ(sim.DeletePortMonitor(L"TPX Monitor", abi::kDeleteMonitorFlags), 0);
  EXPECT_EQ(sim.LastStatus(), abi::kStatusMonitorInUse);
  EXPECT_EQ(sim.DeletePrinterDriver(L"New Driver", 0), 1);
  EXPECT_EQ(sim.IsPrinterInstalled(L"Desk"), 0);
  EXPECT_EQ(sim.DeletePort(L"TPX800 Port 2"), 1);
  EXPECT_EQ(FormatState(state), before);
}

TEST_F(StandIn, BusyDriversLockedMonitorsAndTheSpooler) {
  Simulation sim(state, 0);
  EXPECT_EQ(sim.DeletePrinterDriver(L"TPX Driver", 0), 0);  // Office has jobs
  EXPECT_EQ(sim.LastStatus(), kDriverInUse);
  EXPECT_EQ(sim.DeletePrinterDriver(L"TPX Driver", 0x0500), 1);  // the other system's copy
  EXPECT_EQ(sim.DeletePrinterDriver(L"TPX Driver", 0x0500), 0);

  state.monitors[0].locked = true;
  abi::MonitorRecord record{L"S\\", L"v2.dll", nullptr, nullptr, nullptr, 1, 0};
  int32_t restart = 0;
  EXPECT_EQ(sim.QueryMonitorFile(L"TPX Monitor", abi::kQueryCannotReplace, L"tpxmon.dll", nullptr), 1);
  EXPECT_EQ(sim.InstallPortMonitor(L"TPX Monitor", &record, &restart), 1);
  EXPECT_EQ(restart, 1);
  EXPECT_EQ(sim.RestartSystem(), 1);
  EXPECT_EQ(sim.QueryMonitorFile(L"TPX Monitor", abi::kQueryCannotReplace, L"tpxmon.dll", nullptr), 0);

  EXPECT_EQ(sim.StopService(L"spooler"), 1);
  state.preconditions = true;
  EXPECT_EQ(sim.CheckSetupPreconditions(), 0);
  EXPECT_EQ(sim.StartService(L"Spooler"), 1);
  EXPECT_EQ(sim.CheckSetupPreconditions(), 1);
  EXPECT_EQ(sim.QueryService(L"TPXSVC", abi::kQueryServiceRunning), 1);
  EXPECT_EQ(sim.StopService(L"TPXSVC"), 1);
  EXPECT_EQ(sim.QueryService(L"TPXSVC", abi::kQueryServiceRunning), 0);
  EXPECT_EQ(sim.QueryService(L"TPXSVC", abi::kQueryServiceInstalled), 1);

  // A staged USB driver with no printer attached points to the alternate installation.
  abi::UsbDriverRecord usb{L"S\\", L"usb.sys", L"usb.inf", nullptr, nullptr, 1, 0};
  EXPECT_EQ(sim.InstallUsbDriver(L"TPX USB", &usb, L"VID_1234&PID_0001", false), 1);
  EXPECT_EQ(sim.LastStatus(), abi::kStatusUseAlternate);
}

}  // namespace

namespace {

using namespace support_stand_in;

TEST(StandInPrinter, ConnectedPrinterLeavesNoAlternateStatusAndIsKept) {
  ParseResult parsed = ParseState(L"[System]\nPrinterConnected=1\nUsbDeviceStatus=9\n");
  ASSERT_TRUE(parsed.problems.empty());
  EXPECT_TRUE(parsed.state.printerConnected);
  support_abi::UsbDriverRecord usb{L"D:\\usb\\", L"tpxusb.sys", L"tpxusb.inf", nullptr, nullptr, 1, 0};
  Simulation sim(parsed.state, 0);
  EXPECT_EQ(sim.InstallUsbDriver(L"TPX USB", &usb, L"VID_1234&PID_0001", false), 1);
  EXPECT_EQ(sim.LastStatus(), 0);
  EXPECT_TRUE(sim.PrinterConnected());
  EXPECT_TRUE(ParseState(FormatState(parsed.state)).state.printerConnected);

  State unplugged = ParseState(L"[System]\nUsbDeviceStatus=9\n").state;
  Simulation other(unplugged, 0);
  EXPECT_EQ(other.InstallUsbDriver(L"TPX USB", &usb, L"VID_1234&PID_0001", false), 1);
  EXPECT_EQ(other.LastStatus(), 9);
  EXPECT_EQ(FormatState(unplugged).find(L"PrinterConnected"), std::wstring::npos);
}

}  // namespace
