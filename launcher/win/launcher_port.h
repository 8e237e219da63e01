// The LauncherPort over the ANSI Win32 API: named mutex, window property, the launcher window and
// its message loop, the support library by ordinal, the wizard library by name, the host process.
#pragma once

#include <windows.h>

#include "common/win/handles.h"
#include "launcher/launcher.h"

namespace launcher::win {

class Win32LauncherPort final : public LauncherPort {
 public:
  explicit Win32LauncherPort(HINSTANCE instance) : instance_(instance) {}
  ~Win32LauncherPort() override;
  Win32LauncherPort(const Win32LauncherPort&) = delete;
  Win32LauncherPort& operator=(const Win32LauncherPort&) = delete;

  // The launcher whose job the window's private message runs; set before Run().
  void Attach(Launcher& launcher) { launcher_ = &launcher; }

  std::optional<std::string> OwnPath() override;
  common::CodePage SystemCodePage() override;
  std::optional<std::string> LoadText(int id) override;
  void ErrorBox(const std::string& caption, const std::string& text) override;
  bool ClaimInstance(const std::string& name) override;
  void BringForward(const std::string& name) override;
  bool CreateMainWindow(const std::string& title, const std::string& name) override;
  int RunMessageLoop() override;
  bool LoadSupportLibrary(const std::string& path) override;
  std::optional<int32_t> OsVersionCode() override;
  void UnloadSupportLibrary() override { supportLibrary_.reset(); }
  bool RunHost(const std::string& program, const std::string& commandLine) override;
  bool CallWizard(const std::string& libraryPath, int mode, const std::string& commandLine) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  Launcher* launcher_ = nullptr;
  common::win::UniqueHandle mutex_;  // held for the life of the process
  HWND window_ = nullptr;
  std::string propertyName_;
  common::win::UniqueModule supportLibrary_;
};

}  // namespace launcher::win
