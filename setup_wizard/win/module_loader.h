// The ModuleLoader port over LoadLibraryExW and GetProcAddress by ordinal.
#pragma once

#include <windows.h>

#include "common/win/handles.h"
#include "setup_wizard/support_library.h"

namespace setup_wizard::win {

class Win32ModuleLoader final : public ModuleLoader {
 public:
  // `self`: the wizard module, whose directory holds the support library.
  explicit Win32ModuleLoader(HMODULE self) : self_(self) {}
  std::wstring OwnDirectory() override;
  bool Load(const std::wstring& path) override;
  void* Procedure(uint16_t ordinal) override;
  void Unload() override { module_.reset(); }

 private:
  HMODULE self_;
  common::win::UniqueModule module_;
};

}  // namespace setup_wizard::win
