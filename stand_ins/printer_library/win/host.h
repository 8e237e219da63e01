// The virtual printers' host port on the real Win32 API.
#pragma once

#include "common/win/handles.h"
#include "stand_ins/printer_library/virtual_printers.h"

namespace printer_library::win {

class Win32Host final : public HostPort {
 public:
  explicit Win32Host(std::wstring journalPath);  // empty: no journal

  std::optional<FileStamp> Stamp(const std::wstring& path) override;
  std::optional<std::string> Read(const std::wstring& path) override;
  std::optional<uint64_t> ReadableSize(const std::wstring& path) override;
  bool Replace(const std::wstring& path, const std::string& content) override;
  bool Write(const std::wstring& path, const std::string& content) override;
  void Journal(const std::string& line) override;
  std::string Now() override;

 private:
  std::wstring journalPath_;
  common::win::UniqueHandle journalMutex_;  // appends from several processes are not atomic
};

}  // namespace printer_library::win
