#include "setup_wizard/services.h"

#include "common/win_path.h"

namespace setup_wizard {

namespace abi = support_abi;

// How long a removed service gets to go away, and the pause before deleting its files again.
constexpr int kServiceSettleMs = 1000;

std::wstring ServiceCommandLine(const std::wstring& path, const wchar_t* option) {
  const bool quote = path.find(L' ') != std::wstring::npos;
  return (quote ? L"\"" + path + L"\"" : path) + L" " + option;
}

bool HardwareIdMatches(std::wstring_view id, std::wstring_view wanted) {
  if (wanted.empty()) return false;
  if (CompareNoCase(id, wanted) == 0) return true;
  const std::wstring usb = L"USB\\" + std::wstring(wanted);
  return id.size() >= usb.size() && CompareNoCase(id.substr(0, usb.size()), usb) == 0;
}

bool TargetOlder(SetupSystem& system, const std::wstring& target, const std::wstring& source) {
  if (!system.Exists(target)) return true;
  const std::optional<uint64_t> have = system.ProductVersion(target);
  const std::optional<uint64_t> fresh = system.ProductVersion(source);
  // An unversioned target is older than any versioned source.
  return fresh && (!have || *have < *fresh);
}

int InstallOptionService(SupportLibrary& library, SetupSystem& system, const ServiceFiles& service,
                         const std::wstring& targetDirectory) {
  const std::wstring target = common::JoinPath(targetDirectory, service.file);
  const std::wstring source = service.sourceDirectory + service.file;
  if (TargetOlder(system, target, source)) {
    // A running older copy is taken down first, so its file can be replaced.
    if (library.QueryService(service.name.c_str(), abi::kQueryServiceInstalled) == 1 &&
        RemoveOptionService(library, system, service.name, targetDirectory, service.file, {}) != 1) {
      return 0;
    }
    if (!system.CopyOneFile(source, target)) return 0;
  }
  const std::wstring& dependDirectory = service.dependDirectory.empty() ? service.sourceDirectory : service.dependDirectory;
  for (const std::wstring& name : service.dependFiles) {
    const std::wstring to = common::JoinPath(targetDirectory, name);
    const std::wstring from = dependDirectory + name;
    if (TargetOlder(system, to, from) && !system.CopyOneFile(from, to)) return 0;
  }
  system.RunAndWait(target, ServiceCommandLine(target, L"-install"));
  return library.QueryService(service.name.c_str(), abi::kQueryServiceRunning) == 1 ? 1 : 0;
}

int RemoveOptionService(SupportLibrary& library, SetupSystem& system, const std::wstring& name,
                        const std::wstring& directory, const std::wstring& file,
                        const std::vector<std::wstring>& dependFiles) {
  const std::wstring program = common::JoinPath(directory, file);
  const SetupSystem::Run ran = system.RunAndWait(program, ServiceCommandLine(program, L"-remove"));
  if (ran == SetupSystem::Run::kFailed) return 0;
  if (ran == SetupSystem::Run::kEnded) {
    system.Sleep(kServiceSettleMs);
    if (library.QueryService(name.c_str(), abi::kQueryServiceInstalled) == 1) return 0;
  }
  std::vector<std::wstring> paths{program};
  for (const std::wstring& n : dependFiles) paths.push_back(common::JoinPath(directory, n));
  // Every file must go, not just the last one; a file still held gets a second chance.
  const auto pass = [&] {
    bool all = true;
    for (const std::wstring& p : paths) all = system.DeletePath(p) && all;
    return all;
  };
  if (pass()) return 1;
  system.Sleep(kServiceSettleMs);
  return pass() ? 1 : 0;
}

}  // namespace setup_wizard
