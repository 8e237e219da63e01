#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/unit/app_installer_uninstall/uninstall_fixture.h"

namespace appsetup::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FirstStageTest : public ::testing::Test, protected UninstallFixture {};

TEST_F(FirstStageTest, ConfirmedUninstallationHandsOverToTheRelayCopy) {
  boxes.answer = MessageAnswer::Ok;
  EXPECT_TRUE(StartUninstallation(uctx));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "#32 Tool");
  EXPECT_EQ(boxes.shown[0].caption, "Tool");
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Information);
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::OkCancel);
  ASSERT_TRUE(Exists("C:\\WINDOWS\\system32\\appsetup.exe"));
  EXPECT_EQ(disk.Find("C:\\WINDOWS\\system32\\appsetup.exe")->content, "installer");
  ASSERT_EQ(processes.started.size(), 1u);
  EXPECT_EQ(processes.started[0].program, "C:\\WINDOWS\\system32\\appsetup.exe");
  EXPECT_EQ(processes.started[0].commandLine,
            "C:\\WINDOWS\\system32\\appsetup.exe x C:\\Apps\\Tool\\appsetup.exe");
  EXPECT_EQ(processes.started[0].directory, "C:\\WINDOWS\\system32");
  // Nothing of the installation is touched by the first stage.
  EXPECT_TRUE(Exists("C:\\Apps\\Tool\\appsetup.exe"));
  EXPECT_TRUE(written.Has(kEntryKey));
}

TEST_F(FirstStageTest, ResidentApplicationsAreAskedToCloseAndDeclineChangesNothing) {
  state.resident = true;
  boxes.answer = MessageAnswer::Cancel;
  EXPECT_FALSE(StartUninstallation(uctx));
  EXPECT_THAT(boxes.Texts(), ElementsAre("#32 Tool#33"));
  EXPECT_FALSE(Exists("C:\\WINDOWS\\system32\\appsetup.exe"));
  EXPECT_THAT(processes.started, IsEmpty());
}

TEST_F(FirstStageTest, RelayThatCannotStartOrBeCopiedGivesMessage34) {
  boxes.answer = MessageAnswer::Ok;
  processes.starts = false;
  EXPECT_FALSE(StartUninstallation(uctx));
  EXPECT_THAT(boxes.Texts(), ElementsAre("#32 Tool", "#34"));
  EXPECT_EQ(boxes.shown[1].icon, MessageIcon::Error);

  // An old relay copy that cannot be replaced is not started.
  boxes.shown.clear();
  processes.starts = true;
  processes.started.clear();
  disk.Find("C:\\WINDOWS\\system32\\appsetup.exe")->locked = true;
  EXPECT_FALSE(StartUninstallation(uctx));
  EXPECT_THAT(boxes.Texts(), ElementsAre("#32 Tool", "#34"));
  EXPECT_THAT(processes.started, IsEmpty());
}

class RestartDeletionTest : public ::testing::Test, protected UninstallFixture {
 protected:
  static constexpr const char* kRelay = "C:\\WINDOWS\\system32\\appsetup.exe";
  std::string& Rename() { return restart.sections["c:\\windows\\wininit.ini|rename"]; }
};

TEST_F(RestartDeletionTest, TheSystemDeletesTheRelayCopyWhenItCan) {
  EXPECT_EQ(DeleteAtNextRestart(uctx, kRelay), RestartDeletion::BySystem);
  EXPECT_THAT(restart.scheduled, ElementsAre(kRelay));
  EXPECT_EQ(restart.writes, 0);
}

TEST_F(RestartDeletionTest, WininitFallbackAddsTheLineOnce) {
  restart.systemRefuses = true;
  const std::string line = std::string("NUL=C:\\WINDOWS\\SYSTEM32\\APPSETUP.EXE") + '\0';
  EXPECT_EQ(DeleteAtNextRestart(uctx, kRelay), RestartDeletion::ByWininit);
  EXPECT_EQ(Rename(), line);
  // A second uninstallation finds the line and writes nothing.
  EXPECT_EQ(DeleteAtNextRestart(uctx, kRelay), RestartDeletion::AlreadyListed);
  EXPECT_EQ(restart.writes, 1);
  EXPECT_EQ(Rename(), line);
}

TEST_F(RestartDeletionTest, WininitFallbackAppendsBehindOtherLines) {
  restart.systemRefuses = true;
  const std::string other = std::string("NUL=C:\\OLD.EXE") + '\0' + "C:\\NEW.DLL=C:\\TMP.DLL" + '\0';
  Rename() = other;
  EXPECT_EQ(DeleteAtNextRestart(uctx, kRelay), RestartDeletion::ByWininit);
  EXPECT_EQ(Rename(), other + "NUL=C:\\WINDOWS\\SYSTEM32\\APPSETUP.EXE" + '\0');
}

TEST_F(RestartDeletionTest, WininitFallbackGivesUpRatherThanCutTheSection) {
  restart.systemRefuses = true;
  // Full: the system returns 32766 bytes.
  Rename() = std::string(40000, 'a');
  EXPECT_EQ(DeleteAtNextRestart(uctx, kRelay), RestartDeletion::GaveUp);
  // Nearly full: the line itself would not fit any more.
  Rename() = std::string(32740, 'a') + '\0';
  EXPECT_EQ(DeleteAtNextRestart(uctx, kRelay), RestartDeletion::GaveUp);
  EXPECT_EQ(restart.writes, 0);
}

TEST_F(FirstStageTest, RelayWindowShowsCaptionAndResult) {
  EXPECT_EQ(UninstallCaption(uctx), "#29 Tool");
  RecordedUninstallWindow window;
  RunUninstallWindow(uctx, window, 0);
  EXPECT_EQ(window.status, "#30 Tool");
  EXPECT_TRUE(window.finishEnabled);
  EXPECT_EQ(window.broughtToFront, 2);
}

}  // namespace
}  // namespace appsetup::testing
