#include "app_installer/command_line.h"

#include <gtest/gtest.h>

namespace appsetup {
namespace {

TEST(CommandLine, ModesByFirstCharacter) {
  struct Case {
    const char* line;
    RunMode mode;
    const char* relay;
  };
  for (const Case& c : {Case{"", RunMode::kInstall, ""}, Case{"/r", RunMode::kUninstall, ""},
                        Case{"r", RunMode::kUninstall, ""}, Case{"R", RunMode::kUninstall, ""},
                        Case{"  /R", RunMode::kUninstall, ""}, Case{"/q", RunMode::kInstall, ""},
                        Case{"X C:\\a", RunMode::kInstall, ""},
                        Case{"x C:\\Program Files\\Tool\\appsetup.exe", RunMode::kRelay,
                             "C:\\Program Files\\Tool\\appsetup.exe"},
                        Case{"x", RunMode::kRelay, ""}}) {
    const Invocation invocation = ParseArguments(c.line);
    EXPECT_EQ(invocation.mode, c.mode) << c.line;
    EXPECT_EQ(invocation.relayPath, c.relay) << c.line;
  }
}

TEST(CommandLine, ArgumentsFollowTheProgramName) {
  EXPECT_EQ(ArgumentsOf("\"C:\\Program Files\\T\\appsetup.exe\" /r"), "/r");
  EXPECT_EQ(ArgumentsOf("C:\\WINDOWS\\system32\\appsetup.exe x C:\\T\\appsetup.exe"),
            "x C:\\T\\appsetup.exe");
  EXPECT_EQ(ArgumentsOf("appsetup.exe"), "");
  EXPECT_EQ(ArgumentsOf("\"unterminated"), "");
}

}  // namespace
}  // namespace appsetup
