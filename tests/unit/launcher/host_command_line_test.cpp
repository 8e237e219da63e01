#include "stand_ins/wizard_host/host_command_line.h"

#include <gtest/gtest.h>

#include "launcher/launcher.h"

namespace {

using wizard_host::ParseHostCommandLine;

std::wstring Widened(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

TEST(WizardHostCommandLine, ReadsWhatTheLauncherWrites) {
  for (const int mode : {0, 1}) {
    const std::string line = launcher::HostCommandLine("C:\\Program Files\\Driver\\KVSETUPW64.DLL", mode);
    const auto request = ParseHostCommandLine(Widened(line));
    ASSERT_TRUE(request) << line;
    EXPECT_EQ(request->libraryPath, L"C:\\Program Files\\Driver\\KVSETUPW64.DLL");
    EXPECT_EQ(request->mode, mode);
  }
  const auto crlf = ParseHostCommandLine(L"C:\\d\\w.dll\r\n -1 \r\n");
  ASSERT_TRUE(crlf);
  EXPECT_EQ(crlf->libraryPath, L"C:\\d\\w.dll");
  EXPECT_EQ(crlf->mode, -1);
}

TEST(WizardHostCommandLine, RefusesAnythingElse) {
  for (const wchar_t* text : {L"", L"KVSETUPW64.EXE", L"\"C:\\d\\KVSETUPW64.EXE\" C:\\d\\w.dll 1", L"\n1",
                              L"C:\\d\\w.dll\n", L"C:\\d\\w.dll\none", L"C:\\d\\w.dll\n1 2", L"C:\\d\\w.dll\n-",
                              L"C:\\d\\w.dll\n99999999999"}) {
    EXPECT_FALSE(ParseHostCommandLine(text)) << std::wstring(text).size();
  }
}

}  // namespace
