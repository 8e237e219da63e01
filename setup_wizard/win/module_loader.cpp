#include "setup_wizard/win/module_loader.h"

#include "setup_wizard/win/profile_reader_win.h"

namespace setup_wizard::win {

std::wstring Win32ModuleLoader::OwnDirectory() { return ModuleDirectory(self_); }

bool Win32ModuleLoader::Load(const std::wstring& path) {
  // The library's own dependencies are looked for beside it, not beside the calling program.
  module_.reset(::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  return static_cast<bool>(module_);
}

void* Win32ModuleLoader::Procedure(uint16_t ordinal) {
  if (!module_) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(module_.get(), MAKEINTRESOURCEA(ordinal)));
}

}  // namespace setup_wizard::win
