// The notification icon: where its menu opens for each taskbar edge, and its clicks.
#include <gtest/gtest.h>

#include "maintenance_fakes.h"

namespace monitor {
namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

TEST(IconMenuPlacement, FollowsTheTaskbarEdgeAndKeepsOffTheNotificationArea) {
  struct Case {
    const char* edge;
    ScreenRect taskbar, notify;
    MenuPlacement expected;
  };
  const Case cases[] = {
      {"bottom", {0, 994, 1280, 1024}, {1100, 996, 1278, 1022},
       {1278, 1022, kMenuVertical | kMenuRightAligned, true, {1100, 996, kWidth, kHeight}}},
      {"bottom, reaching off screen", {-2, 994, 1282, 1026}, {1100, 996, 1278, 1022},
       {1278, 1022, 72, true, {1100, 996, kWidth, kHeight}}},
      {"right", {1180, 0, 1280, 1024}, {1182, 900, 1278, 1022},
       {1278, 1022, 72, true, {1182, 900, kWidth, kHeight}}},
      {"top", {0, 0, 1280, 30}, {1100, 2, 1278, 28}, {1278, 2, 72, true, {1100, 0, kWidth, 28}}},
      {"left", {0, 0, 100, 1024}, {2, 900, 98, 1022}, {2, 1022, 64, true, {0, 900, 98, kHeight}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceIconMenu(c.taskbar, c.notify, kWidth, kHeight), c.expected) << c.edge;
  }
}

struct FakeShell : TrayShell {
  bool hasTaskbar = true;
  std::vector<MenuPlacement> tracked;
  int answer = -1;
  std::function<void()> whileTracking;
  bool TaskbarRects(ScreenRect& taskbar, ScreenRect& notify) override {
    taskbar = {0, 994, 1280, 1024};
    notify = {1100, 996, 1278, 1022};
    return hasTaskbar;
  }
  void ScreenSize(int& w, int& h) override { w = kWidth; h = kHeight; }
  void CursorPos(int& x, int& y) override { x = 640; y = 500; }
  void SetForeground() override {}
  int TrackIconMenu(const MenuPlacement& placement) override {
    tracked.push_back(placement);
    if (whileTracking) whileTracking();
    return answer;
  }
};

struct Icon : testing::MaintenanceHarness {
  FakeShell shell;
  Ticon ticon{view, events, form, shell};
  Icon() { Load(); }
};

TEST(IconClicks, ARightClickOpensTheMenuOnlyWhileTheWindowIsHidden) {
  Icon m;
  m.ticon.OnIconEvent(IconEvent::RightButtonDown);
  EXPECT_TRUE(m.shell.tracked.empty());

  m.form.Cmdm_Click();
  m.ticon.OnIconEvent(IconEvent::RightButtonDown);
  ASSERT_EQ(m.shell.tracked.size(), 1u);
  EXPECT_EQ(m.shell.tracked[0].x, 1278);
  EXPECT_FALSE(m.view.windowVisible) << "dismissing the menu leaves the window hidden";
  EXPECT_FALSE(m.ticon.MenuOpen());
}

TEST(IconClicks, ASecondRightClickWhileTheMenuIsOpenIsIgnored) {
  Icon m;
  m.form.Cmdm_Click();
  m.shell.whileTracking = [&] {
    EXPECT_TRUE(m.ticon.MenuOpen());
    m.ticon.OnIconEvent(IconEvent::RightButtonDown);
  };
  m.ticon.OnIconEvent(IconEvent::RightButtonDown);
  EXPECT_EQ(m.shell.tracked.size(), 1u);
}

TEST(IconClicks, WithoutATaskbarTheMenuOpensAtThePointer) {
  Icon m;
  m.form.Cmdm_Click();
  m.shell.hasTaskbar = false;
  m.ticon.OnIconEvent(IconEvent::RightButtonDown);
  ASSERT_EQ(m.shell.tracked.size(), 1u);
  EXPECT_EQ(m.shell.tracked[0].x, 640);
  EXPECT_FALSE(m.shell.tracked[0].hasExclude);
}

TEST(IconClicks, VersionShowsTheOthersPageRefreshed) {
  Icon m;
  m.form.Cmdm_Click();
  m.view[{"Label4_1"}].text.clear();
  m.shell.answer = 2;
  m.ticon.OnIconEvent(IconEvent::RightButtonDown);
  EXPECT_TRUE(m.view.windowVisible);
  EXPECT_EQ(m.view.page, 4);
  EXPECT_EQ(m.view.Text("Label4_1"), "45");
}

TEST(IconClicks, ADoubleClickBringsAHiddenWindowBackOnItsStatusPage) {
  Icon m;
  m.view.page = 3;
  m.form.Cmdm_Click();
  m.ticon.OnIconEvent(IconEvent::DoubleClick);
  EXPECT_TRUE(m.view.windowVisible);
  EXPECT_EQ(m.view.page, 0);
  EXPECT_EQ(m.view.broughtToFront, 1);

  m.view.page = 2;
  m.ticon.OnIconEvent(IconEvent::DoubleClick);  // shown already: to the status page and the front
  EXPECT_EQ(m.view.page, 0);
  EXPECT_EQ(m.view.broughtToFront, 2);
}

TEST(Fonts, EveryControlOfTheOthersPageGetsArialNinePointAtLoad) {
  Icon m;
  for (const Ctl c : {Ctl{"Cmd4", 2}, Ctl{"Drive4"}, Ctl{"Dir4"}, Ctl{"File4"}, Ctl{"Text4"}, Ctl{"Label4_1"},
                      Ctl{"Frame4", 3}, Ctl{"Label4_2", 2}, Ctl{"Opt4", 1}}) {
    EXPECT_EQ(m.view[c].fontName, "Arial") << c.name;
    EXPECT_EQ(m.view[c].fontSize, 9) << c.name;
  }
  EXPECT_EQ(m.view.Text("Frame4", 2), "Firmware DownLoad");
  EXPECT_EQ(m.view.Text("Label4_2", 0), "TPX800 Status Monitor(E)");
}

TEST(Fonts, WithoutTheLibraryTheWindowKeepsItsDesignFonts) {
  testing::MaintenanceHarness m;
  m.library.missing = true;
  m.Load();
  EXPECT_EQ((m.view[{"Cmd4", 0}].fontName), "");
  EXPECT_EQ((m.view[{"Cmd4", 0}].text), "");
  EXPECT_TRUE(m.selector4.files.empty()) << "the page is never filled";
}

}  // namespace
}  // namespace monitor
