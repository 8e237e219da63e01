// The information-file ports on the real API: profile files, registry, paths, code page and the
// string table linked into this program.
#include <windows.h>

#include <gtest/gtest.h>

#include "../../unit/app_installer/fakes.h"
#include "app_installer/entry_resolver.h"
#include "app_installer/information_file.h"
#include "app_installer/win/port_adapters.h"
#include "common/win/handles.h"

namespace appsetup {
namespace {

using win::WinFileSystem;
using win::WinProfile;
using win::WinRegistry;
using win::WinStringTable;
using win::WinSystem;

std::string Ansi(const wchar_t* text) {
  const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(bytes, '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), bytes, nullptr, nullptr);
  out.resize(bytes - 1);
  return out;
}

// A fresh folder with an information file in it, removed afterwards.
class InformationFileOnDisk : public ::testing::Test {
 protected:
  void Write(const std::string& text) {
    char temp[MAX_PATH];
    const DWORD length = ::GetTempPathA(MAX_PATH, temp);
    // Wine reuses process ids between sessions; the tick count keeps the name fresh.
    folder = std::string(temp, length) + "appinfo-" + std::to_string(::GetCurrentProcessId()) +
             "-" + std::to_string(::GetTickCount()) + "\\";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    common::win::UniqueFile file(::CreateFileA(Inf().c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.get(), text.data(), DWORD(text.size()), &written, nullptr));
  }
  void TearDown() override {
    if (folder.empty()) return;
    ::DeleteFileA(Inf().c_str());
    ::RemoveDirectoryA(folder.c_str());
  }
  std::string Inf() const { return folder + "appsetup.INF"; }
  bool Load(ProfilePort& profile, InstallerState& state) {
    return LoadInformationFile(state, folder + "appsetup.exe",
                               Ports{profile, registry, files, system, boxes}, messages);
  }

  std::string folder;
  testing::FakeRegistry registry;
  testing::FakeBoxes boxes;
  WinFileSystem files;
  WinSystem system;
  WinStringTable table{::GetModuleHandleW(nullptr)};
  Messages messages{table, LanguageFromId(system.UiLanguage()), system.AnsiCodePage()};
};

TEST_F(InformationFileOnDisk, RealProfileGivesTheSameStateAsTheInMemoryOne) {
  const std::string longValue(1500, 'v');
  Write("[Install]\r\nTitle =  Acme Tool  \r\nFolder=Acme/Tool\r\nTSR=2\r\nCommonMenu=1\r\n"
        "1=tool.exe\r\n2= x.dll, s!x.dll\r\n4=ignored.dll\r\nLong=" + longValue + "\r\n"
        "[Group]\r\n1=Remove,appsetup.exe,/r\r\n");
  WinProfile realProfile;
  EXPECT_EQ(realProfile.ReadString(Inf(), "install", "LONG"), longValue);  // never cut

  InstallerState real;
  ASSERT_TRUE(Load(realProfile, real));
  testing::FakeFiles memory;
  for (auto [key, value] : {std::pair{"Title", "Acme Tool"}, {"Folder", "Acme/Tool"}, {"TSR", "2"},
                            {"CommonMenu", "1"}, {"1", "tool.exe"}, {"2", "x.dll, s!x.dll"},
                            {"4", "ignored.dll"}}) {
    memory.AddIni(Inf(), "Install", key, value);
  }
  memory.AddIni(Inf(), "Group", "1", "Remove,appsetup.exe,/r");
  InstallerState mapped;
  ASSERT_TRUE(Load(memory, mapped));

  EXPECT_EQ(real.infoFilePath, Inf());
  EXPECT_EQ(real.title, "Acme Tool");
  EXPECT_EQ(real.title, mapped.title);
  EXPECT_EQ(real.installationKey, mapped.installationKey);
  EXPECT_EQ(real.installationFolder, mapped.installationFolder);
  EXPECT_EQ(real.fileEntryCount, 2);
  EXPECT_EQ(real.fileEntryCount, mapped.fileEntryCount);
  EXPECT_EQ(real.groupEntryCount, mapped.groupEntryCount);
  EXPECT_FALSE(real.resident);
  EXPECT_TRUE(real.allUsers);
  EXPECT_EQ(ResolveFileEntry(real, 2, realProfile, system).destination,
            system.SystemDirectory() + "\\x.dll");
}

TEST_F(InformationFileOnDisk, ShiftJisTrailBytesStayInsideTheirCharacters) {
  if (::GetACP() != 932) GTEST_SKIP() << "needs the Japanese ANSI code page";
  const CodePage cp = system.AnsiCodePage();
  // "\x95\x5C" is one character whose second byte is a backslash.
  EXPECT_EQ(DirectoryPart(cp, "C:\\x\\\x95\x5C\\appsetup.exe"), "C:\\x\\\x95\x5C\\");
  Write("[Install]\r\nTitle=\x83\x5C\x83\x74\x83\x67\r\nFolder=Acme\\\x95\x5C\r\n");
  WinProfile profile;
  InstallerState state;
  ASSERT_TRUE(Load(profile, state));
  EXPECT_EQ(state.title, "\x83\x5C\x83\x74\x83\x67");
  EXPECT_EQ(state.installationKey, "\x95\x5C");
  EXPECT_TRUE(state.installationFolder.ends_with("\\Acme\\\x95\x5C\\"));
}

TEST(WinAdapters, RegistryPathsAndCodePage) {
  const std::string base = "Software\\appinfo-test-" + std::to_string(::GetTickCount());
  common::win::UniqueHkey key;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (base + "\\Child").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.put(), nullptr), ERROR_SUCCESS);
  key.reset();
  // Stored without its terminator, as some installers leave values.
  ::RegSetKeyValueA(HKEY_CURRENT_USER, base.c_str(), "Bare", REG_SZ, "abc", 3);
  WinRegistry registry;
  const auto user = RegistryRoot::CurrentUser;
  EXPECT_EQ(registry.ReadString(user, base, "Bare"), std::optional<std::string>("abc"));
  EXPECT_EQ(registry.SubkeyNames(user, base), std::vector<std::string>{"Child"});
  ::RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
  ::RegDeleteKeyA(HKEY_CURRENT_USER, base.c_str());

  EXPECT_EQ(WinFileSystem().FullPath("C:\\a\\..\\b/c\\"), "C:\\b\\c\\");
  const CodePage cp = WinSystem().AnsiCodePage();
  for (int byte = 0; byte < 256; ++byte) {
    EXPECT_EQ(cp.IsLeadByte(char(byte)), ::IsDBCSLeadByte(BYTE(byte)) != 0) << byte;
  }
}

TEST(WinStringTableAdapter, LanguagesAndFallback) {
  WinStringTable table(::GetModuleHandleW(nullptr));
  EXPECT_EQ(table.Load(Language::TraditionalChinese, 37), std::optional<std::string>("ZT.INF"));
  EXPECT_EQ(table.Load(Language::English, 12),
            std::optional<std::string>("Assign a correct drive and path, e.g. C:\\Soft\\."));
  EXPECT_EQ(table.Load(Language::Japanese, 1), Ansi(L"設定ファイルが壊れているか、または見つかりません。"));
  EXPECT_EQ(table.Load(Language::TraditionalChinese, 33),
            Ansi(L"\n如果程式正在執行中，請先將程式關閉，然後按一下「確定」。"));
  const Messages german(table, LanguageFromId(0x0407));
  EXPECT_EQ(german.Text(37), "E.INF");
  EXPECT_EQ(german.Text(3), "?");

  // The running language picks the table. Wine ignores SetThreadUILanguage; it follows the
  // Unix locale instead, which the Japanese run of this test sets.
  const LANGID before = ::GetThreadUILanguage();
  ::SetThreadUILanguage(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN));
  const LANGID running = WinSystem().UiLanguage();
  ::SetThreadUILanguage(before);
  if (PRIMARYLANGID(running) != LANG_JAPANESE) GTEST_SKIP() << "UI language " << running;
  EXPECT_EQ(Messages(table, LanguageFromId(running)).Text(37), "J.INF");
}

}  // namespace
}  // namespace appsetup
