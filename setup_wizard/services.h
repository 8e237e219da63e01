// What the installation and deletion sequences need from Windows besides the support library,
// and the option UI services they install and remove with it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setup_wizard/support_library.h"

namespace setup_wizard {

// Port: files, versions, processes and devices.
class SetupSystem {
 public:
  virtual ~SetupSystem() = default;
  virtual std::wstring SystemDirectory() = 0;  // without a trailing backslash
  virtual bool Exists(const std::wstring& path) = 0;
  // The product version of the file's version resource (most significant part high); nothing when
  // the file is missing or has no readable version.
  virtual std::optional<uint64_t> ProductVersion(const std::wstring& path) = 0;
  virtual bool CopyOneFile(const std::wstring& from, const std::wstring& to) = 0;
  // Deletes a file (clearing read-only first) or removes a directory; a missing one counts as deleted.
  virtual bool DeletePath(const std::wstring& path) = 0;
  enum class Run { kEnded, kMissing, kFailed };
  // Starts `program` with `commandLine` (handles inherited, normal window) and waits until it is
  // idle and then until it ends.
  virtual Run RunAndWait(const std::wstring& program, const std::wstring& commandLine) = 0;
  virtual void Sleep(int ms) = 0;
  // A present device of any class with this description and a hardware ID equal to `hardwareId`
  // or to "USB\" followed by it.
  virtual bool DevicePresent(const std::wstring& description, const std::wstring& hardwareId) = 0;
};

// A device's hardware ID names the printer's USB driver when it equals `wanted` or begins with
// "USB\" followed by it (ignoring case).
bool HardwareIdMatches(std::wstring_view id, std::wstring_view wanted);

// An option UI service program with its files.
struct ServiceFiles {
  std::wstring name;              // the service name QueryService knows
  std::wstring sourceDirectory;   // ends with a backslash
  std::wstring dependDirectory;   // of the dependent files; empty: the source directory
  std::wstring file;
  std::vector<std::wstring> dependFiles;
};

// "<path> -install"; a path with blanks is quoted so the program still sees one argument.
std::wstring ServiceCommandLine(const std::wstring& path, const wchar_t* option);

// True when `target` should be replaced by `source`: missing, or of an older product version.
bool TargetOlder(SetupSystem& system, const std::wstring& target, const std::wstring& source);

// Copies the service's files into `targetDirectory` where they are newer, runs "<file> -install"
// and asks the library whether the service came up. 1 on success.
int InstallOptionService(SupportLibrary& library, SetupSystem& system, const ServiceFiles& service,
                         const std::wstring& targetDirectory);

// Runs "<file> -remove" in `directory`, checks the service is gone and deletes its files (one more
// pass after a second when a deletion failed). 1 on success.
int RemoveOptionService(SupportLibrary& library, SetupSystem& system, const std::wstring& name,
                        const std::wstring& directory, const std::wstring& file,
                        const std::vector<std::wstring>& dependFiles);

}  // namespace setup_wizard
