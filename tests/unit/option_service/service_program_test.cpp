#include "stand_ins/option_service/service_program.h"

#include <gtest/gtest.h>

namespace {

using namespace option_service;

TEST(OptionServiceProgram, OneInstallOrRemoveArgument) {
  EXPECT_EQ(ParseAction({L"-install"}), Action::kInstall);
  EXPECT_EQ(ParseAction({L"/REMOVE"}), Action::kRemove);
  EXPECT_EQ(ParseAction({}), Action::kUsage);
  EXPECT_EQ(ParseAction({L"install"}), Action::kUsage);
  EXPECT_EQ(ParseAction({L"-install", L"-remove"}), Action::kUsage);
  EXPECT_EQ(ParseAction({L"-"}), Action::kUsage);
}

TEST(OptionServiceProgram, ConfiguredNameOrTheFileName) {
  EXPECT_EQ(ServiceNameFor(L"TPX8OPT.EXE", L"TPX800 Option Service"), L"TPX800 Option Service");
  EXPECT_EQ(ServiceNameFor(L"TPX8OPT.EXE", L""), L"TPX8OPT");
  EXPECT_EQ(ServiceNameFor(L"service", L""), L"service");
}

}  // namespace
