// The printer command library bound at run time: loaded by file name through the normal DLL search
// and each function looked up by name at its first call.
#pragma once

#include <string>

#include "common/win/handles.h"
#include "status_monitor/kvcmd.h"
#include "status_monitor/kvcmd_abi.h"

namespace monitor::win {

class KvcmdLibrary final : public Kvcmd {
 public:
  explicit KvcmdLibrary(std::wstring fileName = kvcmd_abi::kLibraryFileName) : fileName_(std::move(fileName)) {}

  KvResult ScanKV450(int32_t& handle, int32_t& unit) override;
  KvResult ScanKV450Next(int32_t& handle, int32_t& unit) override;
  KvResult TestUnitReady(PrinterRef printer) override;
  KvResult GetPrinterStatus(PrinterRef printer, int32_t& status, int32_t& state) override;
  KvResult LogSense(PrinterRef printer, int32_t pageCode, uint8_t* buffer) override;
  KvResult ModeSense(PrinterRef printer, int32_t pageCode, uint8_t* buffer) override;
  KvResult ModeSelect(PrinterRef printer, int32_t pageCode, uint8_t* buffer) override;
  KvResult StandardInquiry(PrinterRef printer, uint8_t* buffer) override;
  KvResult VPDInquiry(PrinterRef printer, int32_t page, uint8_t* buffer) override;
  KvResult SendDiagnostic(PrinterRef printer, int32_t selfTest, int32_t sides, int32_t count, int32_t* value) override;
  KvResult LogSelect(PrinterRef printer) override;
  KvResult UpdateFirmware(PrinterRef printer, const uint8_t* path, int32_t flags) override;
  KvResult GetLogMessageAsFile(PrinterRef printer, const uint8_t* path) override;

 private:
  template <typename Fn>
  struct Entry {
    const char* name;
    Fn function = nullptr;
  };

  template <typename Fn, typename... Args>
  KvResult Call(Entry<Fn>& entry, Args... args);
  BindFailure Load();

  std::wstring fileName_;
  common::win::UniqueModule module_;
  Entry<kvcmd_abi::ScanKV450> scan_{"KVCMD_ScanKV450"};
  Entry<kvcmd_abi::ScanKV450Next> scanNext_{"KVCMD_ScanKV450Next"};
  Entry<kvcmd_abi::TestUnitReady> testUnitReady_{"KVCMD_TestUnitReady"};
  Entry<kvcmd_abi::GetPrinterStatus> getPrinterStatus_{"KVCMD_GetPrinterStatus"};
  Entry<kvcmd_abi::LogSense> logSense_{"KVCMD_LogSense"};
  Entry<kvcmd_abi::ModeSense> modeSense_{"KVCMD_ModeSense"};
  Entry<kvcmd_abi::ModeSelect> modeSelect_{"KVCMD_ModeSelect"};
  Entry<kvcmd_abi::StandardInquiry> standardInquiry_{"KVCMD_StandardInquiry"};
  Entry<kvcmd_abi::VPDInquiry> vpdInquiry_{"KVCMD_VPDInquiry"};
  Entry<kvcmd_abi::SendDiagnostic> sendDiagnostic_{"KVCMD_SendDiagnostic"};
  Entry<kvcmd_abi::LogSelect> logSelect_{"KVCMD_LogSelect"};
  Entry<kvcmd_abi::UpdateFirmware> updateFirmware_{"KVCMD_UpdateFirmware"};
  Entry<kvcmd_abi::GetLogMessageAsFile> getLogMessageAsFile_{"KVCMD_GetLogMessageAsFile"};
};

}  // namespace monitor::win
