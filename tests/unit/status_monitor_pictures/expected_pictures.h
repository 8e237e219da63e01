// The pictures the build draws, as the status page expects them: size, frames and frame delays.
#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace pictures_test {

struct ExpectedPicture {
  std::string_view name;
  int width;
  int height;
  std::vector<int> delays;  // 1/100 s per frame; empty for a still picture
};

inline const std::array<ExpectedPicture, 10>& ExpectedPictures() {
  static const std::array<ExpectedPicture, 10> pictures = {{
      {"LOGO.gif", 180, 40, {}},
      {"READY.gif", 64, 64, std::vector<int>(8, 25)},
      {"RUN.gif", 64, 64, std::vector<int>(8, 14)},
      {"ERROR.gif", 64, 64, {60, 40}},
      {"ANY.gif", 80, 60, {}},
      {"NONE.gif", 80, 60, {}},
      {"YMCKOP.gif", 150, 30, {}},
      {"YMCKOPK.gif", 150, 30, {}},
      {"BLACK.gif", 150, 30, {}},
      {"INKUNK.gif", 150, 30, {}},
  }};
  return pictures;
}

}  // namespace pictures_test
