// DllMain and the 14 exports of QLC07RT.dll. Every export is a firewall: no exception leaves it.
#include "common/win_path.h"
#include "stand_ins/printer_library/virtual_printers.h"
#include "stand_ins/printer_library/win/host.h"
#include "status_monitor/kvcmd_abi.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <new>
#include <type_traits>

namespace {

using printer_library::VirtualPrinters;
namespace result = printer_library::result;

HMODULE g_module = nullptr;
std::mutex g_lock;  // one call at a time, whichever thread makes it

struct Library {
  printer_library::win::Win32Host host;
  VirtualPrinters printers;
  Library(std::wstring journal, std::wstring state) : host(std::move(journal)), printers(host, std::move(state)) {}
};
std::unique_ptr<Library> g_library;

std::wstring EnvironmentValue(const wchar_t* name) {
  std::wstring value(260, L'\0');
  for (;;) {
    const DWORD n = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (n == 0) return {};
    if (n < value.size()) {
      value.resize(n);
      return value;
    }
    value.resize(n);
  }
}

std::wstring OwnDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return common::DirectoryOf(path);
    }
    path.resize(path.size() * 2);
  }
}

template <typename Work>
int32_t Guarded(Work&& work) noexcept {
  try {
    std::lock_guard lock(g_lock);
    if (!g_library) {
      std::wstring state = EnvironmentValue(L"QLC07RT_STATE");
      if (state.empty()) state = common::JoinPath(OwnDirectory(), L"printers.ini");
      g_library = std::make_unique<Library>(EnvironmentValue(L"QLC07RT_JOURNAL"), std::move(state));
    }
    return work(g_library->printers);
  } catch (const std::bad_alloc&) {
    return result::kNoMemory;
  } catch (...) {
    return result::kInvalidParameter;
  }
}

}  // namespace

extern "C" {

int32_t __stdcall KVCMD_ScanKV450(int32_t* handle, int32_t* unit) {
  return Guarded([&](VirtualPrinters& p) { return p.ScanKV450(handle, unit); });
}
int32_t __stdcall KVCMD_ScanKV450Next(int32_t* handle, int32_t* unit) {
  return Guarded([&](VirtualPrinters& p) { return p.ScanKV450Next(handle, unit); });
}
int32_t __stdcall KVCMD_TestUnitReady(int32_t handle, int32_t unit) {
  return Guarded([&](VirtualPrinters& p) { return p.TestUnitReady(handle, unit); });
}
int32_t __stdcall KVCMD_GetPrinterStatus(int32_t handle, int32_t unit, int32_t* status, int32_t* state) {
  return Guarded([&](VirtualPrinters& p) { return p.GetPrinterStatus(handle, unit, status, state); });
}
int32_t __stdcall KVCMD_LogSense(int32_t handle, int32_t unit, int32_t pageCode, uint8_t* buffer) {
  return Guarded([&](VirtualPrinters& p) { return p.LogSense(handle, unit, pageCode, buffer); });
}
int32_t __stdcall KVCMD_ModeSense(int32_t handle, int32_t unit, int32_t pageCode, uint8_t* buffer) {
  return Guarded([&](VirtualPrinters& p) { return p.ModeSense(handle, unit, pageCode, buffer); });
}
int32_t __stdcall KVCMD_ModeSelect(int32_t handle, int32_t unit, int32_t pageCode, uint8_t* buffer) {
  return Guarded([&](VirtualPrinters& p) { return p.ModeSelect(handle, unit, pageCode, buffer); });
}
int32_t __stdcall KVCMD_StandardInquiry(int32_t handle, int32_t unit, uint8_t* buffer) {
  return Guarded([&](VirtualPrinters& p) { return p.StandardInquiry(handle, unit, buffer); });
}
int32_t __stdcall KVCMD_VPDInquiry(int32_t handle, int32_t unit, int32_t page, uint8_t* buffer) {
  return Guarded([&](VirtualPrinters& p) { return p.VPDInquiry(handle, unit, page, buffer); });
}
int32_t __stdcall KVCMD_SendDiagnostic(int32_t handle, int32_t unit, int32_t selfTest, int32_t sides, int32_t count,
                                       int32_t* value) {
  return Guarded([&](VirtualPrinters& p) { return p.SendDiagnostic(handle, unit, selfTest, sides, count, value); });
}
int32_t __stdcall KVCMD_LogSelect(int32_t handle, int32_t unit) {
  return Guarded([&](VirtualPrinters& p) { return p.LogSelect(handle, unit); });
}
int32_t __stdcall KVCMD_UpdateFirmware(int32_t handle, int32_t unit, const uint8_t* path, int32_t flags) {
  return Guarded([&](VirtualPrinters& p) { return p.UpdateFirmware(handle, unit, path, flags); });
}
int32_t __stdcall KVCMD_GetLogMessageAsFile(int32_t handle, int32_t unit, const uint8_t* path) {
  return Guarded([&](VirtualPrinters& p) { return p.GetLogMessageAsFile(handle, unit, path); });
}
int32_t __stdcall KVCMD_ReadPosition(int32_t handle, int32_t unit, uint8_t* buffer) {
  return Guarded([&](VirtualPrinters& p) { return p.ReadPosition(handle, unit, buffer); });
}

}  // extern "C"

// The exports have exactly the types the monitor binds them with.
static_assert(std::is_same_v<decltype(&KVCMD_ScanKV450), kvcmd_abi::ScanKV450>);
static_assert(std::is_same_v<decltype(&KVCMD_ScanKV450Next), kvcmd_abi::ScanKV450Next>);
static_assert(std::is_same_v<decltype(&KVCMD_TestUnitReady), kvcmd_abi::TestUnitReady>);
static_assert(std::is_same_v<decltype(&KVCMD_GetPrinterStatus), kvcmd_abi::GetPrinterStatus>);
static_assert(std::is_same_v<decltype(&KVCMD_LogSense), kvcmd_abi::LogSense>);
static_assert(std::is_same_v<decltype(&KVCMD_ModeSense), kvcmd_abi::ModeSense>);
static_assert(std::is_same_v<decltype(&KVCMD_ModeSelect), kvcmd_abi::ModeSelect>);
static_assert(std::is_same_v<decltype(&KVCMD_StandardInquiry), kvcmd_abi::StandardInquiry>);
static_assert(std::is_same_v<decltype(&KVCMD_VPDInquiry), kvcmd_abi::VPDInquiry>);
static_assert(std::is_same_v<decltype(&KVCMD_SendDiagnostic), kvcmd_abi::SendDiagnostic>);
static_assert(std::is_same_v<decltype(&KVCMD_LogSelect), kvcmd_abi::LogSelect>);
static_assert(std::is_same_v<decltype(&KVCMD_UpdateFirmware), kvcmd_abi::UpdateFirmware>);
static_assert(std::is_same_v<decltype(&KVCMD_GetLogMessageAsFile), kvcmd_abi::GetLogMessageAsFile>);
static_assert(std::is_same_v<decltype(&KVCMD_ReadPosition), kvcmd_abi::ReadPosition>);

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
