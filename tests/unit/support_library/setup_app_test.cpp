#include "setup_wizard/setup_app.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace setup_wizard;
namespace abi = support_abi;

int32_t Xp() { return 0x0600; }
int32_t One() { return 1; }

class CountingLoader : public ModuleLoader {
 public:
  bool complete = true;
  int loaded = 0;
  std::wstring OwnDirectory() override { return L"C:\\Driver"; }
  bool Load(const std::wstring&) override { return ++loaded, true; }
  void* Procedure(uint16_t ordinal) override {
    if (!complete && ordinal == abi::kReplacePortMonitor) return nullptr;
    return ordinal == abi::kGetOsVersionCode ? reinterpret_cast<void*>(&Xp) : reinterpret_cast<void*>(&One);
  }
  void Unload() override { --loaded; }
};

class Files : public SetupFiles {
 public:
  explicit Files(std::wstring text) : text_(std::move(text)) {}
  std::unique_ptr<ProfileSource> OpenProfile(const std::wstring& path) override {
    paths.push_back(path);
    return std::make_unique<IniTextProfile>(text_);
  }
  bool CanRead(const std::wstring&) override { return false; }
  std::optional<std::wstring> ReadAnsiText(const std::wstring&) override { return std::nullopt; }
  std::vector<std::wstring> paths;

 private:
  std::wstring text_;
};

class Host : public WizardHost {
 public:
  bool ownerOk = true;
  std::wstring ini = L"[Information]\nVersion=1.20\nProducts=TPX800\n";
  CountingLoader moduleLoader;
  std::vector<std::pair<std::wstring, std::wstring>> boxes;
  std::vector<std::wstring> titles;
  int sheetsResult = 0;
  bool libraryBoundDuringSheets = false;
  bool runPublished = false;

  bool AttachOwner() override { return ownerOk; }
  std::wstring OwnerText() override { return L"SETUP Wizard"; }
  std::wstring LoadText(int id) override {
    static const std::map<int, std::wstring> table = {
        {11, L"  KVSetup.ini \t"}, {201, L"Installation of %s printer"}, {202, L"Delete the %s printer"},
        {203, L"library problem"}, {204, L"information problem"}};
    const auto it = table.find(id);
    return it == table.end() ? L"" : it->second;
  }
  void ErrorBox(const std::wstring& caption, const std::wstring& text) override { boxes.emplace_back(caption, text); }
  ModuleLoader& Loader() override { return moduleLoader; }
  std::unique_ptr<SetupInformation> CreateInformation() override {
    return std::make_unique<SetupInformation>(L"C:\\Driver", std::make_unique<Files>(ini));
  }
  int RunSheets(WizardRun& run) override {
    titles.push_back(run.title);
    libraryBoundDuringSheets = run.library.Bound() && moduleLoader.loaded == 1;
    runPublished = ActiveRun() == &run;
    return sheetsResult;
  }
};

TEST(SetupWizardEntry, TitleByModeAndResultOfTheSheets) {
  Host host;
  CLMSetupApp app;
  host.sheetsResult = 1;
  EXPECT_EQ(app.SetupWizardProc(host, 1), 1);
  host.sheetsResult = 0;
  EXPECT_EQ(app.SetupWizardProc(host, 0), 0);
  EXPECT_EQ(app.SetupWizardProc(host, -3), 0);
  EXPECT_EQ(app.SetupWizardProc(host, 2), 0);
  EXPECT_EQ(host.titles, (std::vector<std::wstring>{L"Installation of TPX800 printer", L"Delete the TPX800 printer",
                                                    L"Delete the TPX800 printer", L"Installation of TPX800 printer"}));
  EXPECT_TRUE(host.libraryBoundDuringSheets);
  EXPECT_TRUE(host.runPublished);
  EXPECT_EQ(ActiveRun(), nullptr);
  EXPECT_EQ(host.moduleLoader.loaded, 0);  // released after every call
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(app.LastMode(), 2);
}

TEST(SetupWizardEntry, FailuresShowTheirStringWithTheOwnersTextAndReleaseEverything) {
  Host noOwner;
  noOwner.ownerOk = false;
  CLMSetupApp app;
  EXPECT_EQ(app.SetupWizardProc(noOwner, 1), 0);
  EXPECT_TRUE(noOwner.boxes.empty());
  EXPECT_EQ(noOwner.moduleLoader.loaded, 0);

  Host lacking;
  lacking.moduleLoader.complete = false;
  EXPECT_EQ(app.SetupWizardProc(lacking, 1), 0);
  ASSERT_EQ(lacking.boxes.size(), 1u);
  EXPECT_EQ(lacking.boxes[0], std::make_pair(std::wstring(L"SETUP Wizard"), std::wstring(L"library problem")));
  EXPECT_EQ(lacking.moduleLoader.loaded, 0);

  Host tooNew;
  tooNew.ini = L"[Information]\nVersion=1.21\nProducts=TPX800\n";
  tooNew.sheetsResult = 1;
  EXPECT_EQ(app.SetupWizardProc(tooNew, 0), 0);
  ASSERT_EQ(tooNew.boxes.size(), 1u);
  EXPECT_EQ(tooNew.boxes[0].second, L"information problem");
  EXPECT_TRUE(tooNew.titles.empty());
  EXPECT_EQ(tooNew.moduleLoader.loaded, 0);
}

TEST(SetupWizardEntry, TextHelpers) {
  EXPECT_EQ(TrimBlanks(L" \t KVSetup.ini \r\n"), L"KVSetup.ini");
  EXPECT_EQ(TrimBlanks(L"   "), L"");
  // A product name with % signs is text, never a format.
  EXPECT_EQ(FormatWithName(L"Delete the %s printer", L"100%s %d"), L"Delete the 100%s %d printer");
  EXPECT_EQ(FormatWithName(L"No name here", L"X"), L"No name here");
}

TEST(WelcomePage, TextsAndNextFollowThePreconditions) {
  const WelcomeTexts ok = DecideWelcome(true, 1, 0);
  EXPECT_EQ(ok.main, 302);
  EXPECT_EQ(ok.detail, 303);
  EXPECT_TRUE(ok.allowNext && ok.continueShown);
  const WelcomeTexts noRights = DecideWelcome(true, 0, 5);
  EXPECT_EQ(noRights.main, 322);
  EXPECT_FALSE(noRights.allowNext || noRights.continueShown);
  EXPECT_EQ(DecideWelcome(true, 0, 1722).main, 205);
  EXPECT_EQ(DecideWelcome(false, 1, 0).main, 401);
  EXPECT_EQ(DecideWelcome(false, 0, 5).main, 419);
  EXPECT_EQ(DecideWelcome(false, 0, -2).main, 205);
}

TEST(WizardButtonRule, FinishOnTheLastPageBackNeverOnTheFirst) {
  EXPECT_EQ(WizardButtons(true, true, false, false), kButtonNext | kButtonBack);
  EXPECT_EQ(WizardButtons(true, true, true, false), kButtonNext);
  EXPECT_EQ(WizardButtons(false, true, false, true), kButtonFinish | kButtonBack);
  EXPECT_EQ(WizardButtons(false, false, false, false), 0u);
}

}  // namespace
