// Every program and DLL of the laid-out distribution carries version information and a manifest
// that asks for common controls 6, declares DPI awareness (programs) and the execution level the
// program needs.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/win/handles.h"
#include "distribution.h"
#include "robot.h"

namespace {

using package_test::Distribution;

std::wstring Lower(std::wstring text) {
  ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// Whether the file is a Windows module (the driver folders also hold placeholder files).
bool IsModule(const std::wstring& path) {
  common::win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                             nullptr));
  char magic[2] = {};
  DWORD read = 0;
  return file && ::ReadFile(file.get(), magic, 2, &read, nullptr) && read == 2 && magic[0] == 'M' && magic[1] == 'Z';
}

// The distribution's modules, as paths relative to its top.
void FindModules(const std::wstring& folder, const std::wstring& relative, std::vector<std::wstring>& into) {
  WIN32_FIND_DATAW found{};
  common::win::UniqueFind search(::FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (!search) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      FindModules(path, relative + name + L"\\", into);
      continue;
    }
    const std::wstring extension = Lower(name.substr(name.find_last_of(L'.') + 1));
    if ((extension == L"exe" || extension == L"dll") && IsModule(path)) into.push_back(relative + name);
  } while (::FindNextFileW(search.get(), &found));
}

// A string of the module's version information, in its first translation.
std::wstring VersionString(const std::vector<char>& data, const wchar_t* name) {
  struct Translation {
    WORD language, codePage;
  }* translation = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof(Translation)) {
    return L"";
  }
  wchar_t query[96];
  ::wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\%s", translation->language, translation->codePage, name);
  wchar_t* value = nullptr;
  return ::VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &length) && value ? value : L"";
}

// The manifest resource (1 for a program, 2 for a DLL), as text; empty when there is none.
std::string Manifest(const std::wstring& path, bool program) {
  common::win::UniqueModule module(
      ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module) return "";
  HRSRC found = ::FindResourceW(module.get(), MAKEINTRESOURCEW(program ? 1 : 2), MAKEINTRESOURCEW(24));
  HGLOBAL loaded = found ? ::LoadResource(module.get(), found) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
  return bytes ? std::string(bytes, ::SizeofResource(module.get(), found)) : "";
}

std::string ExecutionLevel(const std::string& manifest) {
  const size_t at = manifest.find("requestedExecutionLevel");
  if (at == std::string::npos) return "none";
  const size_t start = manifest.find("level=\"", at);
  return start == std::string::npos ? "none" : manifest.substr(start + 7, manifest.find('"', start + 7) - start - 7);
}

TEST(PackageResources, EveryModuleHasVersionInformationAndAManifest) {
  std::vector<std::wstring> modules;
  FindModules(Distribution(), L"", modules);
  ASSERT_GE(modules.size(), 8u) << "the distribution is not laid out";

  // Programs that change the system ask for administrator rights; the status monitor runs as
  // the user who starts it.
  const std::map<std::wstring, std::string> levels = {
      {L"setup.exe", "requireAdministrator"},     {L"driver\\install.exe", "requireAdministrator"},
      {L"driver\\uninstall.exe", "requireAdministrator"}, {L"monitor\\appsetup.exe", "requireAdministrator"},
      {L"monitor\\tpx800statusmonitor.exe", "asInvoker"}};
  size_t levelsSeen = 0;
  for (const std::wstring& relative : modules) {
    SCOPED_TRACE(common::WideToUtf8(relative));
    const std::wstring path = Distribution() + L"\\" + relative;
    DWORD ignored = 0;
    std::vector<char> data(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(data.empty()) << "no version information";
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    for (const wchar_t* name : {L"ProductName", L"FileVersion", L"FileDescription"}) {
      EXPECT_FALSE(VersionString(data, name).empty()) << common::WideToUtf8(name);
    }

    const bool program = Lower(relative).ends_with(L".exe");
    const std::string manifest = Manifest(path, program);
    ASSERT_FALSE(manifest.empty()) << "no manifest";
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos) << manifest;
    if (program) {
      EXPECT_NE(manifest.find("dpiAware"), std::string::npos) << manifest;
    }
    const auto level = levels.find(Lower(relative));
    if (level != levels.end()) {
      EXPECT_EQ(ExecutionLevel(manifest), level->second);
      ++levelsSeen;
    }
  }
  EXPECT_EQ(levelsSeen, levels.size());
}

}  // namespace
