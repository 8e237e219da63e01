#include "stand_ins/printer_library/virtual_printers.h"

#include "stand_ins/printer_library/state_file.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>

namespace printer_library {
namespace {

const std::wstring kState = L"C:\\printers\\printers.ini";

class FakeHost : public HostPort {
 public:
  void Put(const std::wstring& path, const std::string& content) {
    files[path] = content;
    times[path] = ++clock;
  }
  std::optional<FileStamp> Stamp(const std::wstring& path) override {
    if (!files.count(path)) return std::nullopt;
    return FileStamp{times[path], files[path].size()};
  }
  std::optional<std::string> Read(const std::wstring& path) override {
    ++reads;
    if (!files.count(path)) return std::nullopt;
    return files[path];
  }
  std::optional<uint64_t> ReadableSize(const std::wstring& path) override {
    if (!files.count(path)) return std::nullopt;
    return files[path].size();
  }
  bool Replace(const std::wstring& path, const std::string& content) override { return Write(path, content); }
  bool Write(const std::wstring& path, const std::string& content) override {
    if (readOnly.count(path)) return false;
    Put(path, content);
    return true;
  }
  void Journal(const std::string& line) override { journal.push_back(line); }
  std::string Now() override { return "2026-12-07 10:00:00"; }

  std::map<std::wstring, std::string> files;
  std::map<std::wstring, uint64_t> times;
  std::set<std::wstring> readOnly;
  std::vector<std::string> journal;
  uint64_t clock = 0;
  int reads = 0;
};

std::vector<uint8_t> PathBytes(const std::wstring& path) {
  std::vector<uint8_t> bytes;
  for (wchar_t c : path) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

class VirtualPrintersTest : public ::testing::Test {
 protected:
  void Load(const std::string& text) { host.Put(kState, text); }
  int32_t H(int unit) { return VirtualPrinters::HandleOf(unit); }

  FakeHost host;
  VirtualPrinters printers{host, kState};
  std::array<uint8_t, 256> buffer{};
};

TEST_F(VirtualPrintersTest, ScanFindsConnectedPrintersInUnitOrder) {
  Load("[Printer0]\n[Printer1]\nConnected=0\n[Printer4]\n");
  int32_t handle = 0, unit = 0;
  ASSERT_EQ(printers.ScanKV450(&handle, &unit), 0);
  EXPECT_EQ(unit, 0);
  const int32_t first = handle;
  ASSERT_EQ(printers.ScanKV450Next(&handle, &unit), 0);
  EXPECT_EQ(unit, 4);
  EXPECT_NE(handle, first);
  EXPECT_NE(handle, 0);
  EXPECT_EQ(printers.ScanKV450Next(&handle, &unit), -0x09000002);
  EXPECT_EQ(printers.TestUnitReady(H(1), 1), -0x09000002);  // unplugged
  EXPECT_EQ(printers.TestUnitReady(first, 4), -0x09000002);  // handle of another unit

  VirtualPrinters none(host, L"C:\\missing.ini");
  EXPECT_EQ(none.ScanKV450(&handle, &unit), -0x09000002);
}

TEST_F(VirtualPrintersTest, PagesCarryTheFieldsWhereTheMonitorReadsThem) {
  Load("[Printer0]\nPrinterPrintCounter=0x01020304\nPrintCounter=7\nHeadCounter=65536\nInkQuantity=25\nCardEmpty=1\n"
       "Vendor=ORV\nProduct=TPX800\nVersion=0212\nOptions=0x21\nLaminatorVersion=L1\nHeadInfo=KT-1\n"
       "InkType=no_tag\nInkSets=300\nLot=AB12\nResinKPrintLevel=9\nOpRetransferLevel=4\nPositionY=200\nJisCoercivity=1\n");
  ASSERT_EQ(printers.LogSense(H(0), 0, 0x38, buffer.data()), 0);
  EXPECT_EQ(buffer[0], 0x38);
  EXPECT_EQ((std::array<uint8_t, 4>{buffer[8], buffer[9], buffer[10], buffer[11]}), (std::array<uint8_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(buffer[19], 7);
  EXPECT_EQ(buffer[25], 1);
  ASSERT_EQ(printers.LogSense(H(0), 0, 0x3A, buffer.data()), 0);
  EXPECT_EQ(buffer[0], 0x3A);
  EXPECT_EQ(buffer[8], 25);
  EXPECT_EQ(buffer[13], 1);

  buffer.fill(0xEE);
  ASSERT_EQ(printers.StandardInquiry(H(0), 0, buffer.data()), 0);
  EXPECT_EQ(std::string(buffer.begin() + 8, buffer.begin() + 16), std::string("ORV\0\0\0\0\0", 8));
  EXPECT_EQ(std::string(buffer.begin() + 16, buffer.begin() + 22), "TPX800");
  EXPECT_EQ(buffer[22], 0);
  EXPECT_EQ(std::string(buffer.begin() + 32, buffer.begin() + 36), "0212");
  EXPECT_EQ(buffer[38], 0x21);
  EXPECT_EQ(std::string(buffer.begin() + 39, buffer.begin() + 43), std::string("L1\0\0", 4));
  EXPECT_EQ(buffer[255], 0);  // the whole buffer is written
  ASSERT_EQ(printers.VPDInquiry(H(0), 0, 1, buffer.data()), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&buffer[8])), "KT-1");

  ASSERT_EQ(printers.ModeSense(H(0), 0, 0x23, buffer.data()), 0);
  EXPECT_EQ(buffer[4], 0x23);
  EXPECT_EQ(buffer[5], 0x26);
  EXPECT_EQ(buffer[6], 254);
  EXPECT_EQ(buffer[8], 1);
  EXPECT_EQ(buffer[9], 44);
  EXPECT_EQ(std::string(buffer.begin() + 12, buffer.begin() + 17), std::string("AB12\0", 5));
  ASSERT_EQ(printers.ModeSense(H(0), 0, 0x28, buffer.data()), 0);
  EXPECT_EQ(buffer[45], 9);
  EXPECT_EQ(buffer[47], 4);
  ASSERT_EQ(printers.ModeSense(H(0), 0, 0x2B, buffer.data()), 0);
  EXPECT_EQ(buffer[9], 200);
  ASSERT_EQ(printers.ModeSense(H(0), 0, 0x3A, buffer.data()), 0);
  EXPECT_EQ(buffer[7], 1);
  EXPECT_EQ(printers.ModeSense(H(0), 0, 0x24, buffer.data()), -0x01052400);
  EXPECT_EQ(printers.LogSense(H(0), 0, 0x39, buffer.data()), -0x01052400);
}

TEST_F(VirtualPrintersTest, StatusReadAnswersNonZeroOnceFilled) {
  Load("[Printer0]\nStatus=door_open\nState=0\n[Printer1]\nStatus=printing\nState=printing\n");
  EXPECT_EQ(printers.TestUnitReady(H(0), 0), -0x01020480);
  int32_t status = 99, state = 99;
  EXPECT_NE(printers.GetPrinterStatus(H(1), 1, &status, &state), 0);
  EXPECT_EQ(status, -0x01020400);
  EXPECT_EQ(state, 50);
  EXPECT_EQ(printers.GetPrinterStatus(H(2), 2, &status, &state), -0x09000002);
  EXPECT_EQ(status, -0x09000002);
  EXPECT_EQ(state, 0);
}

TEST_F(VirtualPrintersTest, InjectedBusyFailAndDisconnect) {
  Load("[Printer0]\nBusy.TestUnitReady=2\nBusy.GetPrinterStatus=1\nBusy.ModeSelect=1\nFail.ModeSelect=-0x01052601\n"
       "Disconnect.LogSense=1\n");
  EXPECT_EQ(printers.TestUnitReady(H(0), 0), 1);
  EXPECT_EQ(printers.TestUnitReady(H(0), 0), 1);
  EXPECT_EQ(printers.TestUnitReady(H(0), 0), 0);
  int32_t status = 5, state = 6;
  EXPECT_EQ(printers.GetPrinterStatus(H(0), 0, &status, &state), 0);  // "ask again", nothing filled
  EXPECT_EQ(status, 5);
  EXPECT_NE(printers.GetPrinterStatus(H(0), 0, &status, &state), 0);
  EXPECT_EQ(status, 0);
  buffer[4] = 0x2A;
  buffer[5] = 0x08;
  EXPECT_EQ(printers.ModeSelect(H(0), 0, 0x2A, buffer.data()), 1);
  EXPECT_EQ(printers.ModeSelect(H(0), 0, 0x2A, buffer.data()), -0x01052601);
  EXPECT_EQ(printers.LogSense(H(0), 0, 0x38, buffer.data()), -0x09000002);
  EXPECT_EQ(printers.LogSense(H(0), 0, 0x3A, buffer.data()), -0x09000002);

  // A changed file starts the busy counts again; an untouched one is not read again.
  const int reads = host.reads;
  EXPECT_EQ(printers.TestUnitReady(H(0), 0), 0);
  EXPECT_EQ(host.reads, reads);
  Load(host.files[kState] + "; touched\n");
  EXPECT_EQ(printers.TestUnitReady(H(0), 0), 1);
}

TEST_F(VirtualPrintersTest, ModeSelectIsKeptInTheFileForTheNextProcess) {
  Load("; my printers\n[Printer0]\nYmcPrintLevel=1 \n; comment kept\n[Printer1]\nYmcPrintLevel=7\n");
  ASSERT_EQ(printers.ModeSense(H(0), 0, 0x28, buffer.data()), 0);
  buffer[38] = 5;
  buffer[46] = 1;
  ASSERT_EQ(printers.ModeSelect(H(0), 0, 0x28, buffer.data()), 0);
  const std::string& text = host.files[kState];
  EXPECT_EQ(text.rfind("; my printers\n[Printer0]\nYmcPrintLevel=5\n", 0), 0u) << text;
  EXPECT_NE(text.find("; comment kept\n[Printer1]\nYmcPrintLevel=7\n"), std::string::npos);

  std::array<uint8_t, 256> sensed{};
  VirtualPrinters later(host, kState);
  ASSERT_EQ(later.ModeSense(H(0), 0, 0x28, sensed.data()), 0);
  EXPECT_EQ(sensed, buffer);

  std::array<uint8_t, 256> tag{};
  tag[4] = 0x23;
  tag[5] = 0x26;
  tag[6] = 4;
  tag[8] = 1;
  tag[9] = 44;
  std::copy_n(" AB", 3, tag.begin() + 12);
  ASSERT_EQ(printers.ModeSelect(H(0), 0, 0x23, tag.data()), 0);
  EXPECT_NE(host.files[kState].find("InkType=YMCKOPK\nInkSets=300\nLot=\" AB\"\n"), std::string::npos);
  ASSERT_EQ(VirtualPrinters(host, kState).ModeSense(H(0), 0, 0x23, sensed.data()), 0);
  EXPECT_TRUE(std::equal(tag.begin() + 4, tag.end(), sensed.begin() + 4));

  // A page with bytes the named keys cannot hold is kept whole.
  buffer[40] = 0x77;
  ASSERT_EQ(printers.ModeSelect(H(0), 0, 0x28, buffer.data()), 0);
  EXPECT_EQ(host.files[kState].find("YmcPrintLevel=5"), std::string::npos);
  VirtualPrinters third(host, kState);
  ASSERT_EQ(third.ModeSense(H(0), 0, 0x28, sensed.data()), 0);
  EXPECT_TRUE(std::equal(buffer.begin() + 4, buffer.begin() + 54, sensed.begin() + 4));

  buffer[5] = 0x31;
  EXPECT_EQ(printers.ModeSelect(H(0), 0, 0x28, buffer.data()), -0x01051A00);
  buffer[4] = 0x2A;
  EXPECT_EQ(printers.ModeSelect(H(0), 0, 0x28, buffer.data()), -0x01052601);
}

TEST_F(VirtualPrintersTest, LogSelectAndTestPrintChangeTheCounters) {
  Load("[Printer0]\nPrinterPrintCounter=10\nPrintCounter=4\nHeadCounter=20\n[Printer1]\nStatus=door_open\n");
  int32_t value = 0;
  ASSERT_EQ(printers.SendDiagnostic(H(0), 0, 0, 16, 1, &value), 0);
  EXPECT_EQ(printers.SendDiagnostic(H(0), 0, 0, 3, 1, &value), -0x01052601);
  EXPECT_EQ(printers.SendDiagnostic(H(1), 1, 0, 0, 1, &value), -0x01020480);
  ASSERT_EQ(printers.LogSelect(H(0), 0), 0);
  const StateFile saved = ParseStateFile(host.files[kState]);
  EXPECT_EQ(saved.printers[0]->printerPrintCounter, 11u);
  EXPECT_EQ(saved.printers[0]->printCounter, 0u);
  EXPECT_EQ(saved.printers[0]->headCounter, 22u);

  host.readOnly.insert(kState);  // the change still holds in this process
  Load("[Printer0]\nPrintCounter=4\n");
  ASSERT_EQ(printers.LogSelect(H(0), 0), 0);
  ASSERT_EQ(printers.LogSense(H(0), 0, 0x38, buffer.data()), 0);
  EXPECT_EQ(buffer[19], 0);
}

TEST_F(VirtualPrintersTest, FirmwareFileMustExistAndBeOfAFirmwareType) {
  Load("[Printer0]\n");
  host.Put(L"C:\\fw\\main.prf", "image");
  host.Put(L"C:\\fw\\empty.HDF", "");
  host.Put(L"C:\\fw\\notes.txt", "text");
  const auto update = [&](const std::wstring& path) { return printers.UpdateFirmware(H(0), 0, PathBytes(path).data(), 0); };
  EXPECT_EQ(update(L"C:\\fw\\main.prf"), 0);
  EXPECT_EQ(update(L"C:\\fw\\missing.prf"), -0x09000004);
  EXPECT_EQ(update(L"C:\\fw\\notes.txt"), -0x01052681);
  EXPECT_EQ(update(L"C:\\fw\\empty.HDF"), -0x01052681);
  EXPECT_EQ(update(L""), -0x09000001);
  EXPECT_EQ(printers.UpdateFirmware(H(0), 0, nullptr, 0), -0x09000001);
}

TEST_F(VirtualPrintersTest, InstructionLogAndJournalListTheCalls) {
  Load("[Printer0]\nFoo=1\n");
  int32_t handle = 0, unit = 0;
  printers.ScanKV450(&handle, &unit);
  printers.LogSense(H(0), 0, 0x38, buffer.data());
  ASSERT_EQ(printers.GetLogMessageAsFile(H(0), 0, PathBytes(L"C:\\log.txt").data()), 0);
  const std::string log = host.files[L"C:\\log.txt"];
  EXPECT_NE(log.find("ScanKV450"), std::string::npos);
  EXPECT_NE(log.find("LogSense"), std::string::npos);
  EXPECT_NE(log.find("page=0x38"), std::string::npos);
  host.readOnly.insert(L"C:\\log.txt");
  EXPECT_EQ(printers.GetLogMessageAsFile(H(0), 0, PathBytes(L"C:\\log.txt").data()), -0x09000001);

  EXPECT_EQ(host.journal, (std::vector<std::string>{
                              "# printers.ini line 2: unknown key \"Foo\" (line ignored)",
                              "KVCMD_ScanKV450 unit=0 handle=0x4B560100 result=0",
                              "KVCMD_LogSense unit=0 page=0x38 result=0",
                              "KVCMD_GetLogMessageAsFile unit=0 path=C:\\log.txt result=0",
                              "KVCMD_GetLogMessageAsFile unit=0 path=C:\\log.txt result=-0x09000001",
                          }));
}

}  // namespace
}  // namespace printer_library
