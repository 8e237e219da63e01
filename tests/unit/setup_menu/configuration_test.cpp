#include "setup_menu/configuration.h"

#include <gtest/gtest.h>

#include <string>

namespace setup_menu {
namespace {

// Joins lines with the given line end.
std::wstring Lines(std::initializer_list<std::wstring> lines, const std::wstring& end = L"\n") {
  std::wstring text;
  for (const std::wstring& line : lines) text += line + end;
  return text;
}

const std::wstring& Command(const Configuration& c, int process, int language) {
  return c.commands[process][language];
}

TEST(ConfigurationFile, ReadsTitlesAndCommandsAlikeWithLfAndCrLf) {
  const std::initializer_list<std::wstring> lines = {
      L"; comment first",   L"[Title-E]", L"  Card Printer Setup ", L"-24,Arial",
      L"[Title-J]",         L"日本語の見出し", L"0,",
      L"[Process-1]",       L"  Driver\\Install.exe  ", L"Driver\\Install.exe J", L"Driver\\Install.exe C",
      L"[Process-13]",      L"Monitor\\appsetup.exe", L"", L"; not a value", L"Monitor\\appsetup.exe",
      L"Monitor\\appsetup.exe"};
  for (const std::wstring end : {L"\n", L"\r\n"}) {
    const Configuration c = ParseConfiguration(Lines(lines, end));
    EXPECT_EQ(c.titles[0].heading, L"  Card Printer Setup ") << "verbatim";
    EXPECT_EQ(c.titles[0].font, L"-24,Arial");
    EXPECT_EQ(c.titles[1].heading, L"日本語の見出し");
    EXPECT_EQ(c.titles[2].heading, L"");
    EXPECT_EQ(Command(c, 1, 0), L"Driver\\Install.exe") << "trimmed";
    EXPECT_EQ(Command(c, 1, 1), L"Driver\\Install.exe J");
    EXPECT_EQ(Command(c, 1, 2), L"Driver\\Install.exe C");
    // Blank lines and comments are no value lines.
    for (int language = 0; language < kLanguages; ++language) {
      EXPECT_EQ(Command(c, 13, language), L"Monitor\\appsetup.exe");
    }
  }
}

TEST(ConfigurationFile, AByteOrderMarkIsNoPartOfTheFirstLine) {
  const Configuration c = ParseConfiguration(L"\xFEFF[Title-E]\nHeading\n10,Face\n");
  EXPECT_EQ(c.titles[0].heading, L"Heading");
  EXPECT_EQ(c.titles[0].font, L"10,Face");
}

TEST(ConfigurationFile, ProcessHeaders) {
  const Configuration c = ParseConfiguration(Lines({
      L"[Process-0]", L"docs E", L"docs J", L"docs C",
      L"[Process-00]", L"zero E",  // the same section again: clears all three first
      L"[Process-16]", L"sixteen", L"sixteen", L"sixteen",
      L"[Process-x]", L"ex", L"ex", L"ex",
      L"[Process-]", L"none",
      L"[Process-7 any text]", L"seven", L"seven J",
      L"[process-8]", L"wrong case",
      L"[Process-99999999999999999999]", L"huge",
  }));
  EXPECT_EQ(Command(c, 0, 0), L"zero E");
  EXPECT_EQ(Command(c, 0, 1), L"");
  EXPECT_EQ(Command(c, 0, 2), L"");
  EXPECT_EQ(Command(c, 7, 0), L"seven");
  EXPECT_EQ(Command(c, 7, 1), L"seven J");
  EXPECT_EQ(Command(c, 8, 0), L"");
  // Lines under invalid headers land nowhere.
  for (int process = 1; process < kProcesses; ++process) {
    if (process == 7) continue;
    for (int language = 0; language < kLanguages; ++language) EXPECT_EQ(Command(c, process, language), L"");
  }
}

TEST(ConfigurationFile, ALineOfBlanksCountsAndLinesPastTheCountAreIgnored) {
  const Configuration c = ParseConfiguration(Lines({
      L"[Process-2]", L"   ", L"J", L"C", L"fourth line", L"fifth line",
      L"[Title-C]", L"中文", L"12,SimSun", L"third title line",
  }));
  EXPECT_EQ(Command(c, 2, 0), L"");
  EXPECT_EQ(Command(c, 2, 1), L"J");
  EXPECT_EQ(Command(c, 2, 2), L"C");
  EXPECT_EQ(c.titles[2].heading, L"中文");
  EXPECT_EQ(c.titles[2].font, L"12,SimSun");
}

TEST(ConfigurationFile, AnUnknownHeaderEndsTheSectionBefore) {
  const Configuration c = ParseConfiguration(Lines({L"[Process-3]", L"E", L"[Other]", L"not J", L"not C"}));
  EXPECT_EQ(Command(c, 3, 0), L"E");
  EXPECT_EQ(Command(c, 3, 1), L"");
}

TEST(ConfigurationFile, OverLongLinesAreCutAndTheLastLineNeedsNoLineEnd) {
  const std::wstring longCommand(400, L'a');
  const Configuration c = ParseConfiguration(L"[Process-4]\r\n" + longCommand + L"\r\nJ\r\nC");
  EXPECT_EQ(Command(c, 4, 0), std::wstring(kMaxLineChars, L'a'));
  EXPECT_EQ(Command(c, 4, 1), L"J") << "the rest of the long line is no line of its own";
  EXPECT_EQ(Command(c, 4, 2), L"C");
}

TEST(ConfigurationFile, OnlyACrJustBeforeTheLineEndIsDropped) {
  // A CR inside a long line that happens to sit where the line is cut stays text of the line.
  const std::wstring head(kMaxLineChars - 1, L'h');
  const Configuration c = ParseConfiguration(L"[Title-E]\n" + head + L"\rtail\n10,Face\r\r\n");
  EXPECT_EQ(c.titles[0].heading, head + L"\r");
  EXPECT_EQ(c.titles[0].font, L"10,Face\r") << "one CR only";
}

TEST(HeadingFont, HeightAndFace) {
  EXPECT_EQ(ParseHeadingFont(L"-24,Arial").height, -24);
  EXPECT_EQ(ParseHeadingFont(L"-24,Arial").face, L"Arial");
  EXPECT_EQ(ParseHeadingFont(L"18,MS UI Gothic").face, L"MS UI Gothic");
  EXPECT_EQ(ParseHeadingFont(L"").height, 0);
  EXPECT_EQ(ParseHeadingFont(L"Arial").height, 0);
  EXPECT_EQ(ParseHeadingFont(L"16").height, 16);
  EXPECT_EQ(ParseHeadingFont(L"16").face, L"");
  EXPECT_EQ(ParseHeadingFont(L"99999999999999,Big").height, 10000) << "kept in range";
}

TEST(CommandCompletion, EachRowOfTheTable) {
  const std::wstring d = L"D:\\pkg";
  struct Case {
    const wchar_t* written;
    const wchar_t* run;
  } cases[] = {
      {L"\\explorer.exe Manual", L"explorer.exe Manual"},                      // rooted: not under the package
      {L"\"Driver\\Install.exe\" /q", L"\"D:\\pkg\\Driver\\Install.exe\" /q"},  // quoted, closed
      {L"\"Driver\\My Install.exe", L"\"D:\\pkg\\Driver\\My Install.exe\""},    // quoted, not closed
      {L"Driver\\Install.exe /q x", L"\"D:\\pkg\\Driver\\Install.exe\" /q x"},  // with a blank
      {L"Monitor\\appsetup.exe", L"\"D:\\pkg\\Monitor\\appsetup.exe\""},        // plain
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(CompleteCommand(c.written, d), c.run) << c.written;
}

TEST(CommandCompletion, ACommandLongerThanItsLimitIsNotRunCut) {
  const std::wstring folder = L"C:\\a folder";  // the completed command adds 3 characters to it
  const std::wstring fits(kMaxCommandChars - folder.size() - 3, L'x');
  EXPECT_EQ(CompleteCommand(fits, folder), L"\"" + folder + L"\\" + fits + L"\"");
  EXPECT_EQ(CompleteCommand(fits + L'x', folder), L"") << "cut, it would name another program";
  EXPECT_EQ(CompleteCommand(L"Setup.exe /q " + fits, folder), L"") << "or lose its arguments";
  EXPECT_EQ(CompleteCommand(L"\\" + std::wstring(kMaxCommandChars + 1, L'r'), folder), L"");
}

TEST(ProgramLocation, FromTheFirstTokenOfTheCommandLine) {
  ProgramLocation l = LocateProgram(L"\"C:\\Program Files\\Pkg\\setup.exe\" /x", L"C:\\cwd");
  EXPECT_EQ(l.directory, L"C:\\Program Files\\Pkg");
  EXPECT_EQ(l.baseName, L"setup");
  EXPECT_EQ(l.configurationFile, L"C:\\Program Files\\Pkg\\setup.ini");

  l = LocateProgram(L"E:\\disk1\\my.setup.exe arg", L"C:\\cwd");
  EXPECT_EQ(l.directory, L"E:\\disk1");
  EXPECT_EQ(l.baseName, L"my.setup") << "from the last dot";
  EXPECT_EQ(l.configurationFile, L"E:\\disk1\\my.setup.ini");

  l = LocateProgram(L"setup", L"C:\\cwd\\");
  EXPECT_EQ(l.directory, L"C:\\cwd") << "no folder: the current one";
  EXPECT_EQ(l.configurationFile, L"C:\\cwd\\setup.ini");

  l = LocateProgram(L"\"F:\\setup.exe", L"C:\\cwd");  // no closing quote
  EXPECT_EQ(l.directory, L"F:");
  EXPECT_EQ(l.configurationFile, L"F:\\setup.ini");
}

}  // namespace
}  // namespace setup_menu
