// The about box's texts from the program's version resource.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace appsetup {

struct Translation {
  uint16_t language = 0;
  uint16_t codePage = 0;
};

// The translations each string is looked for in, in order: the user's language, the
// language-neutral one, the first listed.
std::vector<Translation> TranslationOrder(const std::vector<Translation>& available,
                                          uint16_t userLanguage);

struct AboutTexts {
  std::string product;   // "name\n\nversion special (Build: file version)"
  std::string legal;
  std::string comments;
};

// `lookup(translation, name)` reads one version string; missing strings read as empty.
using VersionLookup =
    std::function<std::optional<std::string>(const Translation&, const std::string& name)>;
AboutTexts ComposeAboutTexts(const std::vector<Translation>& order, const VersionLookup& lookup);

}  // namespace appsetup
