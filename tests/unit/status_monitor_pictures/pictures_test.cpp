// Runs the picture script into a fresh folder and reads back every file with a strict little
// GIF reader that decodes each frame's LZW data, independently of the script's encoder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/unit/status_monitor_pictures/expected_pictures.h"

namespace {

namespace fs = std::filesystem;
using pictures_test::ExpectedPictures;

struct Frame {
  int delay = 0, transparent = -1, disposal = 0;
  std::vector<uint8_t> pixels;
};

struct Gif {
  std::string error;  // empty when the whole file was read
  int width = 0, height = 0, background = 0;
  bool loopsForever = false;
  std::vector<Frame> frames;
};

// One frame's LZW codes into `pixels` (already sized); an error text or empty.
std::string DecodeLzw(const std::vector<uint8_t>& data, int minSize, std::vector<uint8_t>& pixels) {
  if (minSize < 2 || minSize > 8) return "bad minimum code size";
  const int clear = 1 << minSize, end = clear + 1;
  std::vector<std::vector<uint8_t>> table;
  int size = minSize + 1, previous = -1;
  size_t bit = 0, written = 0;
  while (bit + size <= data.size() * 8) {
    int code = 0;
    for (int i = 0; i < size; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
    if (code == clear) {
      table.assign(end + 1, {});
      for (int i = 0; i < clear; ++i) table[i] = {static_cast<uint8_t>(i)};
      size = minSize + 1;
      previous = -1;
      continue;
    }
    if (table.empty()) return "no clear code first";
    if (code == end) return written == pixels.size() ? "" : "too few pixels";
    std::vector<uint8_t> entry;
    if (code < static_cast<int>(table.size()) && code != clear && code != end) {
      entry = table[code];
    } else if (code == static_cast<int>(table.size()) && previous >= 0) {
      entry = table[previous];
      entry.push_back(entry[0]);
    } else {
      return "code " + std::to_string(code) + " not in the table";
    }
    if (previous >= 0 && table.size() < 4096) {
      table.push_back(table[previous]);
      table.back().push_back(entry[0]);
      if (table.size() == (1u << size) && size < 12) ++size;
    }
    if (written + entry.size() > pixels.size()) return "too many pixels";
    std::copy(entry.begin(), entry.end(), pixels.begin() + written);
    written += entry.size();
    previous = code;
  }
  return "no end code";
}

Gif ReadGif(const std::vector<uint8_t>& b) {
  Gif gif;
  auto fail = [&gif](const std::string& why) { gif.error = why; return gif; };
  if (b.size() < 13 || std::memcmp(b.data(), "GIF89a", 6) != 0 || !(b[10] & 0x80)) return fail("not GIF89a");
  gif.width = b[6] | b[7] << 8;
  gif.height = b[8] | b[9] << 8;
  gif.background = b[11];
  const int colours = 2 << (b[10] & 7);
  size_t p = 13 + 3 * colours;
  auto subBlocks = [&] {
    std::vector<uint8_t> out;
    while (p < b.size() && b[p] != 0 && p + 1 + b[p] <= b.size()) {
      out.insert(out.end(), b.begin() + p + 1, b.begin() + p + 1 + b[p]);
      p += 1 + b[p];
    }
    ++p;
    return out;
  };
  Frame pending;
  while (p < b.size()) {
    const uint8_t block = b[p++];
    if (block == 0x3B) return gif;
    if (block == 0x21 && p < b.size()) {
      const uint8_t label = b[p++];
      const std::vector<uint8_t> d = subBlocks();
      if (label == 0xF9 && d.size() == 4) {
        pending.disposal = (d[0] >> 2) & 7;
        pending.delay = d[1] | d[2] << 8;
        pending.transparent = (d[0] & 1) ? d[3] : -1;
      } else if (label == 0xFF && d.size() == 14 && std::memcmp(d.data(), "NETSCAPE2.0\x01", 12) == 0) {
        gif.loopsForever = d[12] == 0 && d[13] == 0;
      }
    } else if (block == 0x2C && p + 10 <= b.size()) {
      // The encoder writes whole frames with the global colour table, not interlaced.
      const uint8_t whole[] = {0, 0, 0, 0, b[6], b[7], b[8], b[9], 0};
      if (std::memcmp(&b[p], whole, sizeof whole) != 0) return fail("not a whole plain frame");
      const int minSize = b[p + 9];
      p += 10;
      pending.pixels.assign(static_cast<size_t>(gif.width) * gif.height, 0);
      if (const std::string error = DecodeLzw(subBlocks(), minSize, pending.pixels); !error.empty()) return fail(error);
      for (uint8_t index : pending.pixels)
        if (index >= colours) return fail("pixel outside the colour table");
      gif.frames.push_back(std::move(pending));
      pending = Frame{};
    } else {
      return fail("unknown block");
    }
  }
  return fail("no trailer");
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int RunPython(const std::string& arguments) {
  return std::system((std::string("\"") + PYTHON_EXECUTABLE + "\" " + arguments).c_str());
}

class PicturesTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = fs::temp_directory_path() / ("pictures_test_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    for (const char* run : {"first", "second"}) {
      ASSERT_EQ(RunPython(std::string("\"") + MAKE_PICTURES_SCRIPT + "\" \"" + (root_ / run).string() + "\""), 0);
    }
  }
  static void TearDownTestSuite() { fs::remove_all(root_); }

  static fs::path root_;
};
fs::path PicturesTest::root_;

TEST_F(PicturesTest, EachPictureIsAWholeGifOfItsSizeOnTheFaceColour) {
  for (const auto& expected : ExpectedPictures()) {
    SCOPED_TRACE(std::string(expected.name));
    const Gif gif = ReadGif(ReadFile(root_ / "first" / expected.name));
    ASSERT_EQ(gif.error, "");
    EXPECT_EQ(gif.width, expected.width);
    EXPECT_EQ(gif.height, expected.height);
    ASSERT_EQ(gif.frames.size(), std::max<size_t>(1, expected.delays.size()));
    EXPECT_EQ(gif.loopsForever, !expected.delays.empty());
    for (size_t i = 0; i < gif.frames.size(); ++i) {
      const Frame& frame = gif.frames[i];
      EXPECT_EQ(frame.pixels[0], frame.transparent) << "the corner lets the window show, frame " << i;
      if (expected.delays.empty()) continue;
      EXPECT_EQ(frame.delay, expected.delays[i]) << "frame " << i;
      // Whole frames over a see-through background must wipe what the previous one drew.
      EXPECT_EQ(frame.disposal, 2);
      EXPECT_EQ(gif.background, frame.transparent);
      EXPECT_NE(frame.pixels, gif.frames[(i + 1) % gif.frames.size()].pixels) << "frame " << i << " repeats";
    }
  }
}

TEST_F(PicturesTest, SameBytesOnEveryRunAndNothingElseLeftBehind) {
  for (const auto& expected : ExpectedPictures()) {
    const auto first = ReadFile(root_ / "first" / expected.name);
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, ReadFile(root_ / "second" / expected.name)) << expected.name;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "first"), fs::directory_iterator()), 10);
}

// Noise fills the 4096-entry code table many times over, so the encoder must emit its clear codes
// at the right width; the pictures themselves are too plain to get there.
TEST_F(PicturesTest, EncoderKeepsNoiseIntactThroughTableResets) {
  const fs::path file = root_ / "noise.gif";
  const std::string program =
      "import sys; sys.path.insert(0, sys.argv[1]); import make_pictures as m\n"
      "p = m.Palette(); c = m.Canvas(160, 120, p)\n"
      "[p.index((i, i, i)) for i in range(1, 251)]\n"
      "c.pixels[:] = bytes((i * i * 31 + i * 7) % 251 for i in range(160 * 120))\n"
      "open(sys.argv[2], 'wb').write(m.gif(160, 120, p, [c], None))\n";
  const std::string scriptDir = fs::path(MAKE_PICTURES_SCRIPT).parent_path().string();
  ASSERT_EQ(RunPython("-c \"" + program + "\" \"" + scriptDir + "\" \"" + file.string() + "\""), 0);
  const Gif gif = ReadGif(ReadFile(file));
  ASSERT_EQ(gif.error, "");
  ASSERT_EQ(gif.frames.size(), 1u);
  for (size_t i = 0; i < gif.frames[0].pixels.size(); ++i) {
    ASSERT_EQ(gif.frames[0].pixels[i], (i * i * 31 + i * 7) % 251) << "pixel " << i;
  }
}

}  // namespace
