#include "app_installer/about_box.h"

#include <algorithm>

namespace appsetup {

std::vector<Translation> TranslationOrder(const std::vector<Translation>& available,
                                          uint16_t userLanguage) {
  std::vector<Translation> order;
  auto addFirst = [&](auto predicate) {
    auto it = std::find_if(available.begin(), available.end(), predicate);
    if (it != available.end()) order.push_back(*it);
  };
  addFirst([&](const Translation& t) { return t.language == userLanguage; });
  addFirst([](const Translation& t) { return t.language == 0; });
  if (!available.empty()) order.push_back(available.front());
  return order;
}

AboutTexts ComposeAboutTexts(const std::vector<Translation>& order, const VersionLookup& lookup) {
  auto text = [&](const char* name) -> std::string {
    for (const Translation& t : order) {
      if (auto value = lookup(t, name)) return *value;
    }
    return {};
  };
  AboutTexts texts;
  texts.product = text("ProductName") + "\n\n" + text("ProductVersion") + " " + text("SpecialBuild") +
                  " (Build: " + text("FileVersion") + ")";
  texts.legal = text("LegalCopyright");
  texts.comments = text("Comments");
  return texts;
}

}  // namespace appsetup
