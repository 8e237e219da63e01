// Benchmark: appsetup.exe installing 1,000 small files and one 100 MB file, driven through its
// wizard, against xcopy of the same tree in the same Wine prefix. Also measures how long the
// copying page takes to answer a message while it works.
//
// Usage: bench_appsetup.exe [work folder [small files [large file MB]]]
//        (defaults: %TEMP%\appflow-bench, 1000, 100)
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "resources/app_installer/appsetup_ids.h"
#include "tests/win/app_installer/wizard_robot.h"

namespace robot = appsetup::robot;
using Clock = std::chrono::steady_clock;

namespace {

int kSmallFiles = 1000;
constexpr size_t kSmallBytes = 4096;
size_t kLargeBytes = size_t{100} << 20;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

bool WriteBytes(const std::wstring& path, size_t size, char fill) {
  common::win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string chunk(std::min<size_t>(size, size_t{1} << 20), fill);
  for (size_t done = 0; done < size;) {
    const DWORD n = static_cast<DWORD>(std::min(chunk.size(), size - done));
    DWORD written = 0;
    if (!WriteFile(file.get(), chunk.data(), n, &written, nullptr) || written != n) return false;
    done += n;
  }
  return true;
}

// Runs a command line to its end; false when it cannot start.
bool RunToEnd(std::wstring line, const std::wstring& directory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                      &startup, &info)) {
    return false;
  }
  WaitForSingleObject(info.hProcess, INFINITE);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

void RemoveTree(const std::wstring& folder) {
  RunToEnd(L"cmd.exe /c rmdir /s /q \"" + folder + L"\"", L"C:\\");
}

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

// Makes the package: the installer, its information file, small\f0001.dat ... and large.bin.
bool MakePackage(const std::wstring& source) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  CreateDirectoryW(source.c_str(), nullptr);
  CreateDirectoryW((source + L"small").c_str(), nullptr);
  if (!CopyFileW((Folder(self) + L"appsetup.exe").c_str(), (source + L"appsetup.exe").c_str(), FALSE)) {
    std::fprintf(stderr, "appsetup.exe must lie beside this program\n");
    return false;
  }
  std::string info = "[Install]\r\nTitle=Copy Benchmark\r\nFolder=CopyBenchmark\r\n";
  for (int i = 1; i <= kSmallFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof(name), "small\\f%04d.dat", i);
    if (!WriteBytes(source + std::wstring(name, name + strlen(name)), kSmallBytes, static_cast<char>('a' + i % 26))) return false;
    info += std::to_string(i) + "=" + name + "\r\n";
  }
  info += std::to_string(kSmallFiles + 1) + "=large.bin\r\n";
  return WriteBytes(source + L"large.bin", kLargeBytes, 'z') && robot::WriteText(source + L"appsetupE.INF", info);
}

struct InstallTiming {
  double copying = -1;      // Next on the options page until Finish is offered
  double worstReply = -1;  // longest wait for the page to answer a message meanwhile
};

InstallTiming InstallThroughWizard(const std::wstring& source, const std::wstring& destination) {
  InstallTiming timing;
  robot::Started run = robot::Start(source + L"appsetup.exe", source);
  HWND sheet = robot::WaitForDialog(run.id, L"Installation of Copy Benchmark");
  HWND page = sheet ? robot::WaitForPageWith(sheet, IDC_FOLDER) : nullptr;
  if (!page) return timing;
  robot::SetText(GetDlgItem(page, IDC_FOLDER), destination);
  robot::Press(sheet, PSBTN_NEXT);
  if (!robot::WaitForPageWith(sheet, IDC_DESKTOP)) return timing;

  std::atomic<bool> copying{true};
  double worst = 0;
  std::thread prober([&] {
    while (copying) {
      const auto start = Clock::now();
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(sheet, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
      worst = std::max(worst, Seconds(Clock::now() - start));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  const auto start = Clock::now();
  robot::Press(sheet, PSBTN_NEXT);
  const bool finished =
      robot::WaitUntil([&] { return robot::SheetButtonReady(sheet, L"Finish"); }, 600000);
  const auto end = Clock::now();
  copying = false;
  prober.join();
  if (!finished) return timing;
  timing.copying = Seconds(end - start);
  timing.worstReply = worst;
  robot::Press(sheet, PSBTN_FINISH);
  if (HWND box = robot::WaitForDialog(run.id, L"Copy Benchmark")) robot::Click(box, IDOK);
  WaitForSingleObject(run.process.get(), 20000);
  return timing;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring work;
  if (argc > 1) {
    work = argv[1];
  } else {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    work = std::wstring(temp) + L"appflow-bench";
  }
  if (argc > 2) kSmallFiles = _wtoi(argv[2]);
  if (argc > 3) kLargeBytes = static_cast<size_t>(_wtoi(argv[3])) << 20;
  if (work.back() != L'\\') work += L'\\';
  RemoveTree(work);
  CreateDirectoryW(work.c_str(), nullptr);
  const std::wstring source = work + L"src\\";
  std::printf("making %d files of %zu bytes and one of %zu MB...\n", kSmallFiles, kSmallBytes, kLargeBytes >> 20);
  if (!MakePackage(source)) return 2;

  // Both copies read from a warm cache.
  RunToEnd(L"xcopy.exe \"" + source + L"*\" \"" + work + L"warm\\\" /E /I /Q /Y", work);
  RemoveTree(work + L"warm");

  // Alternating rounds, compared by their medians, so a busy moment of the machine counts once.
  constexpr int kRounds = 5;
  std::vector<double> installs, xcopies, replies;
  for (int round = 0; round < kRounds; ++round) {
    const std::wstring suffix = std::to_wstring(round) + L"\\";
    const InstallTiming install = InstallThroughWizard(source, work + L"appsetup" + suffix);
    if (install.copying < 0) {
      std::fprintf(stderr, "the wizard could not be driven to its end\n");
      return 3;
    }
    const auto start = Clock::now();
    RunToEnd(L"xcopy.exe \"" + source + L"*\" \"" + work + L"xcopy" + suffix + L"\" /E /I /Q /Y", work);
    const double xcopy = Seconds(Clock::now() - start);
    std::printf("round %d: appsetup copying page %.2f s, xcopy %.2f s\n", round + 1, install.copying, xcopy);
    installs.push_back(install.copying);
    xcopies.push_back(xcopy);
    replies.push_back(install.worstReply);
    RemoveTree(work + L"appsetup" + suffix);
    RemoveTree(work + L"xcopy" + suffix);
  }
  const double install = Median(installs);
  const double xcopy = Median(xcopies);
  // The page waits 300 ms before its first step by design.
  const double net = install - 0.3;
  std::printf("median appsetup copying page: %.2f s (%.2f s after its 300 ms start delay)\n", install, net);
  std::printf("median xcopy:                 %.2f s\n", xcopy);
  std::printf("ratio appsetup/xcopy:         %.2f (%.2f without the start delay)\n", install / xcopy, net / xcopy);
  std::printf("longest wait for the copying page to answer a message: %.0f ms\n",
              *std::max_element(replies.begin(), replies.end()) * 1000);

  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                    KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    RegDeleteTreeW(key, L"CopyBenchmark");
    RegCloseKey(key);
  }
  RemoveTree(work);
  return 0;
}
