// The Files port on the Win32 file API: drives, folder listings and the open check.
#pragma once

#include "status_monitor/file_selector.h"

namespace monitor::win {

class WinFiles final : public Files {
 public:
  std::vector<std::wstring> DriveTexts() override;
  FolderResult ListFolder(const std::wstring& folder, std::vector<std::wstring>& folders,
                          std::vector<std::wstring>& files) override;
  OpenResult OpenForReading(const std::wstring& path) override;
};

}  // namespace monitor::win
